// Loading the map picture for the world's hook; a file that gives no image gives no picture at all.
// The last picture is remembered with its file's version while a world still holds it, so a world that passes
// the same map line again (a seek, a log played afresh) holds the very same picture.
#include "view/map_picture.h"

#include "view/file_version.h"

std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path)
{
    static std::string lastPath;
    static FileVersion lastVersion;
    static std::weak_ptr<const MapPicture> lastPicture;
    const FileVersion version = fileVersion(path);
    if (path == lastPath && version == lastVersion)
        if (std::shared_ptr<const MapPicture> kept = lastPicture.lock())
            return kept;
    Image image = Image::load(path);
    if (image.get() == nullptr)
        return nullptr;
    auto picture = std::make_shared<const MapPicture>(MapPicture{std::move(image)});
    lastPath = path;
    lastVersion = version;
    lastPicture = picture;
    return picture;
}
