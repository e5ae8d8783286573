// Writing a clip through the ffmpeg program: a pipe to its standard input, started with posix_spawn (no shell, so
// any path is passed as it is), and its exit status read with waitpid, so a failing ffmpeg is never a success.
// A broken pipe is an error of the write, not a signal: SIGPIPE is ignored once a clip starts.
#include "tools/video_clip.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "platform/linux/shared.h"

extern char** environ;

namespace {

bool endsWithFolded(const std::string& text, std::string_view ending)
{
    auto folded = [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); };
    return text.size() >= ending.size() && std::equal(ending.begin(), ending.end(), text.end() - ending.size(), folded);
}

// A status from waitpid, which without WUNTRACED is an exit or a signal.
std::string describeStatus(int status)
{
    if (WIFEXITED(status))
        return "ffmpeg ended with exit status " + std::to_string(WEXITSTATUS(status));
    return "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
}

}  // namespace

std::optional<ClipFormat> clipFormat(const std::string& path)
{
    if (endsWithFolded(path, ".mp4"))
        return ClipFormat::mp4;
    if (endsWithFolded(path, ".gif"))
        return ClipFormat::gif;
    return std::nullopt;
}

std::string findOnPath(const std::string& program)
{
    const char* variable = std::getenv("PATH");
    std::string_view folders = variable != nullptr ? variable : "";
    for (;;) {
        const std::size_t colon = folders.find(':');
        // An empty entry is the current folder.
        std::string folder(folders.substr(0, colon));
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + '/' + program;
        std::error_code error;
        if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate, error))
            return candidate;
        if (colon == std::string_view::npos)
            return {};
        folders.remove_prefix(colon + 1);
    }
}

std::vector<std::string> ffmpegArguments(const std::string& path, ClipFormat format, int framesPerSecond, int width,
                                         int height)
{
    const std::string size = std::to_string(width) + 'x' + std::to_string(height);
    // Errors only; -xerror makes an error of writing the end of the file (a full disk) an exit status, not just
    // a message.
    std::vector<std::string> args = {"-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-xerror",
                                     "-nostdin",
                                     "-f",
                                     "rawvideo",
                                     "-pix_fmt",
                                     "bgra",
                                     "-s",
                                     size,
                                     "-r",
                                     std::to_string(framesPerSecond),
                                     "-i",
                                     "-"};
    if (format == ClipFormat::mp4) {
        // H.264 in 4:2:0, which players take, needs even sizes: a black row goes below an odd number of rows (455).
        args.insert(args.end(),
                    {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-f", "mp4"});
    } else {
        // One palette chosen from the whole clip: the unchanged parts of the map stay the same from frame to frame
        // and are stored once (a palette for each frame makes the file twenty times larger). ffmpeg keeps the
        // frames until the end to choose it, some 450 MB a minute.
        args.insert(args.end(), {"-vf", "split[a][b];[a]palettegen[p];[b][p]paletteuse", "-f", "gif"});
    }
    // "file:" keeps a name that begins with "-" or holds a ":" a file name.
    args.insert(args.end(), {"-y", "file:" + path});
    return args;
}

VideoClip::VideoClip(std::string ffmpeg, std::string path, ClipFormat format, int framesPerSecond)
    : ffmpeg(std::move(ffmpeg)), path(std::move(path)), format(format), framesPerSecond(framesPerSecond)
{
}

VideoClip::~VideoClip()
{
    finish();
}

bool VideoClip::start()
{
    signal(SIGPIPE, SIG_IGN);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        failure = std::string("no pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    // ffmpeg says nothing on standard output, which may be carrying the state JSON: it goes nowhere.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> args = ffmpegArguments(path, format, framesPerSecond, width, height);
    args.insert(args.begin(), ffmpeg);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&process, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[0]);
    if (error != 0) {
        process = -1;
        close(ends[1]);
        failure = "could not start " + ffmpeg + ": " + std::strerror(error);
        return false;
    }
    input = ends[1];
    return true;
}

bool VideoClip::writeAll(const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = write(input, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;  // ffmpeg has ended (EPIPE): its exit status tells why
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool VideoClip::addBackBuffer()
{
    const GpRect whole = backBufferRect();
    if (process < 0 && failure.empty()) {
        width = whole.Width;
        height = whole.Height;
        if (!start())
            return false;
    }
    if (!failure.empty())
        return false;
    GpBitmap* bitmap = backBufferBitmap();
    GpBitmapData data{};
    // 32-bit ARGB words in memory order are the bytes B, G, R, A.
    if (GdipBitmapLockBits(bitmap, &whole, gpImageLockModeRead, gpPixelFormat32bppARGB, &data) != gpOk) {
        failure = "could not read the back buffer";
        return false;
    }
    bool written = true;
    const auto* row = static_cast<const std::uint8_t*>(data.Scan0);
    for (int y = 0; y < height && written; ++y, row += data.Stride)
        written = writeAll(row, static_cast<std::size_t>(width) * 4);
    GdipBitmapUnlockBits(bitmap, &data);
    if (written)
        ++frames;
    else
        cutShort = true;
    return written;
}

std::string VideoClip::finish()
{
    if (input >= 0)
        close(input);
    input = -1;
    if (process >= 0) {
        int status = 0;
        pid_t ended = -1;
        do
            ended = waitpid(process, &status, 0);
        while (ended < 0 && errno == EINTR);
        process = -1;
        if (ended < 0)
            failure = std::string("could not wait for ffmpeg: ") + std::strerror(errno);
        else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            failure = describeStatus(status);
        else if (cutShort)
            failure = "ffmpeg stopped taking frames";
    }
    if (failure.empty() && frames == 0)
        failure = "playback stopped before the first frame of the clip";
    return failure;
}
