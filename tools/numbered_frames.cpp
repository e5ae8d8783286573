// The numbered frames: named by their count, read from the back buffer on the main thread, and told as the writer
// hands them back.
#include "tools/numbered_frames.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "platform/headless/headless.h"

namespace {

std::string numberedFrame(const std::string& folder, std::int64_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(index));
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace

NumberedFrames::NumberedFrames(const std::optional<std::string>& folder, int width, int height, ProgressLine& progress)
    : folder_(folder), width_(width), height_(height), progress_(progress), inPlace_(isatty(STDERR_FILENO) != 0)
{
    if (folder_)
        writer_.emplace();
}

bool NumberedFrames::add(std::int64_t nowMs)
{
    const std::string path = numberedFrame(*folder_, ++added_);
    std::vector<std::uint32_t> pixels;
    if (!headless::framePixels(pixels)) {
        failed_ = path;
        return false;
    }
    writer_->write(path, std::move(pixels), width_, height_, "at " + std::to_string(nowMs) + " ms");
    return true;
}

bool NumberedFrames::tell(bool all)
{
    if (failed_)
        return false;
    for (const FrameWriter::Written& written : writer_ ? writer_->collect(all) : std::vector<FrameWriter::Written>{}) {
        if (!written.ok) {
            failed_ = written.path;
            return false;
        }
        const std::string line = "kelo-render: " + written.path + " " + written.note;
        // On a terminal the line is rewritten in place; what a longer progress line left on it is cleared.
        std::cerr << (inPlace_ ? "\r" : "") << line << (progress_.drawn() ? "\x1b[K" : "") << (inPlace_ ? "" : "\n")
                  << std::flush;
        if (inPlace_)
            progress_.setLead(line);
    }
    return true;
}

void NumberedFrames::endLine()
{
    if (inPlace_ && added_ > 0 && !progress_.drawn())
        std::cerr << '\n';
}
