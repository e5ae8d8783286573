// TODO
#include "app/program_files.h"

std::string settingsPath() { return {}; }
std::optional<std::string> mapPicturePath(std::string_view) { return {}; }
std::optional<std::string> iconPath(std::string_view) { return {}; }
