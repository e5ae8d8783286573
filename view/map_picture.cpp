// Loading the map picture for the world's hook: a file that gives no image gives no picture at all. Drawing it onto
// the map area, from its stretched copy or, on a scaled surface, from the picture itself.
#include "view/map_picture.h"

#include <utility>

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

void MapPictureLoader::NoPicture::remember(const std::string& path, const FileVersion& version)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    path_ = path;
    version_ = version;
}

bool MapPictureLoader::NoPicture::is(const std::string& path, const FileVersion& version)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return path_ && *path_ == path && version_ == version;
}

MapPictureLoader::MapPictureLoader(PictureDecoder& decoder)
    : decoder_(decoder), noPicture_(std::make_shared<NoPicture>())
{
}

std::shared_ptr<const MapPicture> MapPictureLoader::load(const std::string& path)
{
    const FileVersion version = fileVersion(path);
    if (path == lastPath_ && version == lastVersion_) {
        if (noPicture_->is(path, version))
            return nullptr;
        if (std::shared_ptr<const MapPicture> kept = lastPicture_.lock())
            return kept;
    }
    lastPath_ = path;
    lastVersion_ = version;
    auto decoding = std::make_shared<HandOver<MapPicture::Decoded>>();
    decoder_.decode([path, version, decoding, noPicture = noPicture_] {
        std::optional<MapPicture::Decoded> decoded = decodeMapPicture(path);
        if (!decoded)
            noPicture->remember(path, version);
        decoding->give(std::move(decoded));
    });
    if (noPicture_->is(path, version)) {
        lastPicture_.reset();
        return nullptr;
    }
    auto picture = std::make_shared<const MapPicture>(std::move(decoding));
    lastPicture_ = picture;
    return picture;
}
