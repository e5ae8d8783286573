// Loading the map picture for the world's hook; a file that gives no image gives no picture at all.
// The last picture is remembered with its file's version while a world still holds it, so a world that passes
// the same map line again (a seek, a log played afresh) holds the very same picture; a version of the file that
// gave no picture is not decoded again either, since a broken file can cost the decoder memory at every attempt.
#include "view/map_picture.h"

#include <mutex>
#include <utility>

#include "view/file_version.h"
#include "view/frame_layout.h"

namespace {

constexpr ARGB opaqueBlack = 0xFF000000;

// The picture at the path, on the decoding thread: palette indices turned into colours (pixels the file leaves to
// chance black, as the map area is without a picture), then stretched once.
std::optional<MapPicture::Decoded> decodeMapPicture(const std::string& path)
{
    Image image = Image::load(path);
    image.dropPalette(opaqueBlack);
    if (image.get() == nullptr)
        return std::nullopt;
    Image stretched = Image::blank(mapArea.right(), mapArea.bottom());
    {
        // The bitmap's surface goes before the bitmap is handed anywhere.
        Surface onStretched(stretched);
        onStretched.drawImage(image, mapArea.left, mapArea.top, mapArea.width, mapArea.height);
    }
    return MapPicture::Decoded{std::move(image), std::move(stretched)};
}

// The last version of a map file whose decode gave no picture, written by the decoding thread.
class NoPicture {
public:
    void remember(const std::string& path, const FileVersion& version)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        path_ = path;
        version_ = version;
    }
    bool is(const std::string& path, const FileVersion& version)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return path_ && *path_ == path && version_ == version;
    }

private:
    std::mutex mutex_;
    std::optional<std::string> path_;
    FileVersion version_;
};

NoPicture noPicture;

}  // namespace

MapPicture::MapPicture(std::shared_ptr<HandOver<Decoded>> decoding) : decoding_(std::move(decoding))
{
}

const MapPicture::Decoded* MapPicture::decoded() const
{
    if (decoding_ && decoding_->take(decoded_))
        decoding_.reset();
    return decoded_ ? &*decoded_ : nullptr;
}

bool drawMapPicture(Surface& surface, const MapPicture& picture)
{
    const MapPicture::Decoded* decoded = picture.decoded();
    if (decoded == nullptr)
        return false;
    // The stretched copy is laid from the frame's corner: its clear band above the map leaves the frame be.
    if (surface.scaled())
        surface.drawImage(decoded->image, mapArea.left, mapArea.top, mapArea.width, mapArea.height);
    else
        surface.drawImage(decoded->stretched, 0, 0, mapArea.right(), mapArea.bottom());
    return true;
}

std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path)
{
    static std::string lastPath;
    static FileVersion lastVersion;
    static std::weak_ptr<const MapPicture> lastPicture;
    const FileVersion version = fileVersion(path);
    if (path == lastPath && version == lastVersion) {
        if (noPicture.is(path, version))
            return nullptr;
        if (std::shared_ptr<const MapPicture> kept = lastPicture.lock())
            return kept;
    }
    lastPath = path;
    lastVersion = version;
    auto decoding = std::make_shared<HandOver<MapPicture::Decoded>>();
    decodePicture([path, version, decoding] {
        std::optional<MapPicture::Decoded> decoded = decodeMapPicture(path);
        if (!decoded)
            noPicture.remember(path, version);
        decoding->give(std::move(decoded));
    });
    if (noPicture.is(path, version)) {
        lastPicture.reset();
        return nullptr;
    }
    auto picture = std::make_shared<const MapPicture>(std::move(decoding));
    lastPicture = picture;
    return picture;
}
