// A program folder of the benchmarks' own: a fresh temporary folder that the scenes fill with Kelo.ini, map pictures
// and vehicle icons generated on the spot, and that goes when the object does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class BenchFolder {
public:
    BenchFolder();  // a new folder under the system's temporary folder
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::string& path() const { return path_; }
    // The full path of a file in the folder.
    std::string file(const std::string& relative) const;
    // Writes the file, making the folders it lies in.
    void writeText(const std::string& relative, const std::string& contents) const;
    // Writes a width x height PNG whose pixel (x, y) is colour(x, y), as 0xAARRGGBB.
    void writePicture(const std::string& relative, int width, int height,
                      const std::function<std::uint32_t(int x, int y)>& colour) const;

private:
    std::string path_;
};

// The folder every benchmark shares: made at the first use, removed at exit.
BenchFolder& benchFolder();
