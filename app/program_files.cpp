// Paths of the files beside the program: Kelo.ini, the map pictures in Maps and the vehicle icons in Presets.
// Relies on the executable folder and the path separator of the platform seam.
#include "app/program_files.h"

#include "platform/platform.h"

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

std::optional<std::string> pictureIn(std::string_view folderName, std::string_view name)
{
    if (!namesFileInFolder(name))
        return std::nullopt;
    std::string path = executableFolder();
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

std::string settingsPath()
{
    return executableFolder() + pathSeparator + "Kelo.ini";
}

std::optional<std::string> mapPicturePath(std::string_view baseName)
{
    return pictureIn("Maps", baseName);
}

std::optional<std::string> iconPath(std::string_view className)
{
    return pictureIn("Presets", className);
}
