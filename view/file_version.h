// The version of a file as the picture caches compare it: whether it is there, its size, modification time and
// permissions, read at each use. Relies on std::filesystem; never throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct FileVersion {
    bool exists = false;  // a regular file (or a link to one); anything else is no file
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};  // nanoseconds where the file system keeps them
    std::filesystem::perms permissions = std::filesystem::perms::none;  // a file made readable is a new version

    bool operator==(const FileVersion&) const = default;
};

// The path as GDI+ opens it: the program's 8-bit path widened byte by byte, so the same file is looked at.
std::filesystem::path gdiplusPath(const std::string& path);

// The file's version now; a missing or unreachable file has the version of no file.
FileVersion fileVersion(const std::string& path);
