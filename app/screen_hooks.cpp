// The map picture hook: the program folder's Maps, looked up by the world layer's file rules and decoded by the
// view's picture loader.
#include "app/screen_hooks.h"

#include "seam/platform.h"
#include "view/map_picture.h"
#include "world/program_files.h"

std::shared_ptr<const MapPicture> mapPictureInFolder(std::string_view baseName)
{
    const std::optional<std::string> path = mapPicturePath(executableFolder(), baseName);
    return path ? loadMapPicture(*path) : nullptr;
}
