// The outputs' checks: a file is opened for appending and removed again if it was not there; a folder is probed
// with a temporary file. Relies on POSIX (mkstemp).
#include "tools/output_checks.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// Whether the file can be written; a file that was not there is not left behind.
bool canWriteFile(const std::string& path)
{
    std::error_code error;
    const bool existed = std::filesystem::exists(path, error);
    if (std::filesystem::is_directory(path, error))
        return false;
    const bool opened = static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::app));
    if (opened && !existed)
        std::filesystem::remove(path, error);
    return opened;
}

// Whether files can be made in the folder, which is made if it is not there.
bool canWriteInFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string probe = (std::filesystem::path(folder) / "kelo-render-XXXXXX").string();
    const int descriptor = mkstemp(probe.data());
    if (descriptor < 0)
        return false;
    close(descriptor);
    std::filesystem::remove(probe, error);
    return true;
}

}  // namespace

std::optional<std::string> unwritableOutput(const RenderOptions& options)
{
    if (options.framesFolder && !canWriteInFolder(*options.framesFolder))
        return *options.framesFolder;
    if (options.framePath && !canWriteFile(*options.framePath))
        return *options.framePath;
    if (options.statePath && *options.statePath != "-" && !canWriteFile(*options.statePath))
        return *options.statePath;
    if (options.unitsPath && *options.unitsPath != "-" && !canWriteFile(*options.unitsPath))
        return *options.unitsPath;
    if (options.videoPath && !canWriteFile(*options.videoPath))
        return *options.videoPath;
    return std::nullopt;
}
