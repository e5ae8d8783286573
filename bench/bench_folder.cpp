// The benchmarks' program folder: made with mkdtemp, pictures written with the headless backend's PNG writer.
// Relies on std::filesystem for the folders and on platform/headless/png_file.h.
#include "bench/bench_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/headless/png_file.h"

BenchFolder::BenchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kelo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("kelo_bench: no temporary folder");
    path_ = pattern;
}

BenchFolder::~BenchFolder()
{
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::string BenchFolder::file(const std::string& relative) const
{
    return (std::filesystem::path(path_) / relative).string();
}

void BenchFolder::writeText(const std::string& relative, const std::string& contents) const
{
    const std::filesystem::path path = file(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

void BenchFolder::writePicture(const std::string& relative, int width, int height,
                               const std::function<std::uint32_t(int x, int y)>& colour) const
{
    const std::filesystem::path path = file(relative);
    std::filesystem::create_directories(path.parent_path());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * width + x] = colour(x, y);
    if (!writePngFile(path.string(), pixels.data(), width, height, width))
        throw std::runtime_error("kelo_bench: could not write " + path.string());
}

BenchFolder& benchFolder()
{
    static BenchFolder folder;
    return folder;
}
