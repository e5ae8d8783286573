// kelo-render's writer of numbered frames: PNG files written on a thread of its own while the virtual clock goes on,
// in the order the frames were handed over, with at most a few frames waiting at once so that memory stays flat.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    struct Written {
        std::string path;
        std::string note;  // handed over with the frame, handed back with it
        bool ok = false;
    };

    explicit FrameWriter(std::size_t depth = 4);
    ~FrameWriter();  // writes what was handed over, then ends the thread
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Hands a frame (`height` rows of `width` pixels) over; waits while `depth` frames wait. After a frame that could
    // not be written, no later frame is written.
    void write(std::string path, std::vector<std::uint32_t> pixels, int width, int height, std::string note);
    // The frames written since the last call, in order; with `all`, once every frame handed over is written.
    std::vector<Written> collect(bool all);

private:
    struct Job {
        std::string path;
        std::vector<std::uint32_t> pixels;
        int width;
        int height;
        std::string note;
    };

    void run();

    std::size_t depth_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> waiting_;
    std::vector<Written> written_;
    bool writing_ = false;
    bool failed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
