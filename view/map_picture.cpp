// Loading the map picture for the world's hook; a file that gives no image gives no picture at all.
// The last picture is remembered with its file's version while a world still holds it, so a world that passes
// the same map line again (a seek, a log played afresh) holds the very same picture; a version of the file that
// gave no picture is not decoded again either, since a broken file can cost the decoder memory at every attempt.
#include "view/map_picture.h"

#include "view/file_version.h"

void drawMapPicture(Surface& surface, const MapPicture& picture)
{
    // The kept copy holds the frame's pixels; a scaled view draws the picture itself at the size it shows.
    if (surface.scaled()) {
        surface.drawImage(picture.image, 0, 25, 400, 400);
        return;
    }
    if (!picture.stretched) {
        // Stretched at the very place it has on the frame: the stretch's fixed-point arithmetic depends on where the
        // picture lies, and so do its roundings.
        Image stretched = Image::blank(400, 425);
        {
            // The bitmap's surface goes before the bitmap is drawn anywhere.
            Surface onStretched(stretched);
            onStretched.drawImage(picture.image, 0, 25, 400, 400);
        }
        picture.stretched = std::move(stretched);
    }
    // The clear band above the map area leaves the frame as it is.
    surface.drawImage(*picture.stretched, 0, 0, 400, 425);
}

std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path)
{
    static std::string lastPath;
    static FileVersion lastVersion;
    static std::weak_ptr<const MapPicture> lastPicture;
    static bool lastFailed = false;
    const FileVersion version = fileVersion(path);
    if (path == lastPath && version == lastVersion) {
        if (lastFailed)
            return nullptr;
        if (std::shared_ptr<const MapPicture> kept = lastPicture.lock())
            return kept;
    }
    Image image = Image::load(path);
    image.dropPalette();
    lastPath = path;
    lastVersion = version;
    lastFailed = image.get() == nullptr;
    if (lastFailed) {
        lastPicture.reset();
        return nullptr;
    }
    auto picture = std::make_shared<const MapPicture>(MapPicture{std::move(image), std::nullopt});
    lastPicture = picture;
    return picture;
}
