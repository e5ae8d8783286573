// The map picture hook: the program folder's Maps, looked up by the world layer's file rules and loaded by the
// current viewer's map picture loader.
#include "app/screen_hooks.h"

#include "app/viewer.h"
#include "seam/platform.h"
#include "world/program_files.h"

std::shared_ptr<const MapPicture> mapPictureInFolder(std::string_view baseName)
{
    const std::optional<std::string> path = mapPicturePath(executableFolder(), baseName);
    return path ? app::viewer().caches.maps.load(*path) : nullptr;
}
