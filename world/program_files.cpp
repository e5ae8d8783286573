// Paths of the files beside the program: Kelo.ini, the map pictures in Maps and the vehicle icons in Presets.
// Pure: the program folder comes from the caller.
#include "world/program_files.h"

namespace {

// The longest picture or icon path the program builds.
constexpr std::size_t pathLimit = 511;

// A name from the log that could lead outside its folder (a separator of either platform, a drive colon or
// a step up) names no file, and neither does an empty one.
bool namesFileInFolder(std::string_view name)
{
    return !name.empty() && name.find_first_of("/\\:") == std::string_view::npos
        && name.find("..") == std::string_view::npos;
}

std::optional<std::string> pictureIn(const std::string& programFolder, std::string_view folderName,
                                     std::string_view name)
{
    if (!namesFileInFolder(name))
        return std::nullopt;
    std::string path = programFolder;
    path += pathSeparator;
    path += folderName;
    path += pathSeparator;
    path += name;
    path += ".png";
    if (path.size() > pathLimit)
        return std::nullopt;
    return path;
}

}  // namespace

std::string settingsPath(const std::string& programFolder)
{
    return programFolder + pathSeparator + "Kelo.ini";
}

std::optional<std::string> mapPicturePath(const std::string& programFolder, std::string_view baseName)
{
    return pictureIn(programFolder, "Maps", baseName);
}

std::optional<std::string> iconPath(const std::string& programFolder, std::string_view className)
{
    return pictureIn(programFolder, "Presets", className);
}
