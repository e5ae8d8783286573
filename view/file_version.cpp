// File versions for the picture caches and the calibration: one look at the file per use (status, size and time
// asked apart on Windows). Relies on the byte-by-byte widening of the drawing wrappers for the path GDI+ opens.
#include "view/file_version.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <system_error>

#include "view/gdiplus_wrappers.h"

std::filesystem::path gdiplusPath(const std::string& path)
{
    return std::filesystem::path(widen(path));
}

FileVersion fileVersion(const std::string& path)
{
    FileVersion version;
#ifdef _WIN32
    std::error_code error;
    std::filesystem::path file = gdiplusPath(path);
    std::filesystem::file_status status = std::filesystem::status(file, error);
    if (error || !std::filesystem::is_regular_file(status))
        return FileVersion{};
    version.permissions = status.permissions();
    version.size = std::filesystem::file_size(file, error);
    if (error)
        return FileVersion{};
    version.modified = std::filesystem::last_write_time(file, error);
    if (error)
        return FileVersion{};
#else
    // One look at the file where the three questions above would make three: a paused viewer asks at every tick.
    struct stat status {};
    if (stat(gdiplusPath(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return FileVersion{};
    version.permissions = static_cast<std::filesystem::perms>(status.st_mode) & std::filesystem::perms::mask;
    version.size = static_cast<std::uintmax_t>(status.st_size);
    version.modified =
        std::filesystem::file_time_type(std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
            std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::nanoseconds(status.st_mtim.tv_nsec)));
#endif
    version.exists = true;
    return version;
}
