// Paths of the files beside the program: Kelo.ini, Maps/<base name>.png and Presets/<class name>.png.
// A name from the log that could reach outside its folder names no file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string settingsPath();
// No value for a name holding a path separator, a drive colon or "..", or an empty name.
std::optional<std::string> mapPicturePath(std::string_view baseName);
std::optional<std::string> iconPath(std::string_view className);
