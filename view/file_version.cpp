// File versions for the picture caches: one status, size and time look-up per use.
// Relies on the byte-by-byte widening of the drawing wrappers for the path GDI+ opens.
#include "view/file_version.h"

#include <system_error>

#include "view/gdiplus_wrappers.h"

std::filesystem::path gdiplusPath(const std::string& path)
{
    return std::filesystem::path(widen(path));
}

FileVersion fileVersion(const std::string& path)
{
    std::error_code error;
    std::filesystem::path file = gdiplusPath(path);
    std::filesystem::file_status status = std::filesystem::status(file, error);
    if (error || !std::filesystem::is_regular_file(status))
        return FileVersion{};
    FileVersion version;
    version.permissions = status.permissions();
    version.size = std::filesystem::file_size(file, error);
    if (error)
        return FileVersion{};
    version.modified = std::filesystem::last_write_time(file, error);
    if (error)
        return FileVersion{};
    version.exists = true;
    return version;
}
