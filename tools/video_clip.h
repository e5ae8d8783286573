// kelo-render's clips: the frames of the back buffer handed as raw BGRA pixels (400 x 455, or N times that with
// --scale) through a pipe to the
// ffmpeg program, which encodes them as H.264 in MP4 or as an animated GIF. Relies on POSIX (posix_spawn, pipes)
// and on the back buffer of platform/linux/shared.h.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ClipFormat { mp4, gif };

// The format that the file name's extension names (.mp4 or .gif, in any case); none for any other.
std::optional<ClipFormat> clipFormat(const std::string& path);

// The full path of an executable file of that name in a folder of the PATH; empty when there is none.
std::string findOnPath(const std::string& program);

// ffmpeg's arguments after the program name: raw frames of the given size in the back buffer's layout on standard
// input at the given rate, written to the path in the format.
std::vector<std::string> ffmpegArguments(const std::string& path, ClipFormat format, int framesPerSecond, int width,
                                         int height);

// One clip being written. ffmpeg starts with the first frame, so a run that composes none leaves no file.
class VideoClip {
public:
    VideoClip(std::string ffmpeg, std::string path, ClipFormat format, int framesPerSecond);
    VideoClip(const VideoClip&) = delete;
    VideoClip& operator=(const VideoClip&) = delete;
    ~VideoClip();

    // Hands ffmpeg the back buffer as it is now, which keeps the size it had for the first frame; false once ffmpeg
    // takes no more (finish says why).
    bool addBackBuffer();
    // Ends the input and waits for ffmpeg: empty when the clip is written, else what went wrong.
    std::string finish();

private:
    bool start();
    bool writeAll(const std::uint8_t* bytes, std::size_t size);

    std::string ffmpeg;
    std::string path;
    ClipFormat format;
    int framesPerSecond;
    int width = 0;  // of every frame, from the first
    int height = 0;
    std::string failure;  // why ffmpeg could not be started or fed
    pid_t process = -1;
    int input = -1;  // the pipe to ffmpeg's standard input
    std::int64_t frames = 0;  // handed to ffmpeg whole
    bool cutShort = false;  // a frame could not be handed over
};
