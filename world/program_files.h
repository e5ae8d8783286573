// Paths of the files in the program folder: Kelo.ini, Maps/<base name>.png and Presets/<class name>.png.
// A name from the log that could reach outside its folder names no file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

std::string settingsPath(const std::string& programFolder);
// No value for a name holding a path separator, a drive colon or "..", an empty name, or a path over the limit.
std::optional<std::string> mapPicturePath(const std::string& programFolder, std::string_view baseName);
std::optional<std::string> iconPath(const std::string& programFolder, std::string_view className);
