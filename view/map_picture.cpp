// Loading the map picture for the world's hook: a file that gives no image gives no picture at all. Drawing it onto
// the map area from its stretched copy (one for the frame's own size, one for the last scale drawn at) or, through
// the camera, from the picture itself.
#include "view/map_picture.h"

#include <algorithm>
#include <cmath>
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

// The part of the picture that the camera shows, from its own pixels, over black.
void drawVisiblePart(Surface& surface, const Image& image, const CameraView& camera)
{
    surface.fillRectI(Brush::solid(opaqueBlack), mapArea.left, mapArea.top, mapArea.width, mapArea.height);
    const GpRect size = image.size();
    const PlaneRect visible = camera.visible();
    // The visible part of the map's square, in the plane.
    const PlaneRect part{std::max<double>(visible.left, mapArea.left), std::max<double>(visible.top, mapArea.top),
                         std::min<double>(visible.right, mapArea.right()),
                         std::min<double>(visible.bottom, mapArea.bottom())};
    if (part.left >= part.right || part.top >= part.bottom || size.Width == 0 || size.Height == 0)
        return;
    const PlanePoint topLeft = camera.toFrame(PlanePoint{part.left, part.top});
    const PlanePoint bottomRight = camera.toFrame(PlanePoint{part.right, part.bottom});
    const double perX = static_cast<double>(size.Width) / mapArea.width;
    const double perY = static_cast<double>(size.Height) / mapArea.height;
    const GpRectF target{static_cast<REAL>(topLeft.x), static_cast<REAL>(topLeft.y),
                         static_cast<REAL>(bottomRight.x - topLeft.x), static_cast<REAL>(bottomRight.y - topLeft.y)};
    const GpRectF source{
        static_cast<REAL>((part.left - mapArea.left) * perX), static_cast<REAL>((part.top - mapArea.top) * perY),
        static_cast<REAL>((part.right - part.left) * perX), static_cast<REAL>((part.bottom - part.top) * perY)};
    surface.drawImagePart(image, target, source);
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

const Image& MapPicture::stretchedAt(float scale) const
{
    if (!scaled_ || scaled_->scale != scale) {
        scaled_.reset();
        Image stretched = Image::blank(static_cast<int>(std::ceil(static_cast<float>(mapArea.right()) * scale)),
                                       static_cast<int>(std::ceil(static_cast<float>(mapArea.bottom()) * scale)));
        {
            Surface onStretched(stretched);
            onStretched.drawImage(decoded_->image, static_cast<float>(mapArea.left) * scale,
                                  static_cast<float>(mapArea.top) * scale, static_cast<float>(mapArea.width) * scale,
                                  static_cast<float>(mapArea.height) * scale);
        }
        scaled_ = Scaled{scale, std::move(stretched)};
    }
    return scaled_->stretched;
}

bool drawMapPicture(Surface& surface, const MapPicture& picture, const CameraView& camera)
{
    const MapPicture::Decoded* decoded = picture.decoded();
    if (decoded == nullptr)
        return false;
    if (!camera.identity()) {
        drawVisiblePart(surface, decoded->image, camera);
        return true;
    }
    // The stretched copies are laid from the frame's corner: their clear band above the map leaves the frame be.
    if (!surface.scaled()) {
        surface.drawImage(decoded->stretched, 0, 0, mapArea.right(), mapArea.bottom());
        return true;
    }
    // One bitmap pixel to a window pixel: laid, not resampled.
    const Image& stretched = picture.stretchedAt(surface.scale());
    const GpRect size = stretched.size();
    surface.drawImage(stretched, 0.0F, 0.0F, static_cast<float>(size.Width) / surface.scale(),
                      static_cast<float>(size.Height) / surface.scale());
    return true;
}

bool drawWholePicture(Surface& surface, const MapPicture& picture, const FrameRegion& box)
{
    const MapPicture::Decoded* decoded = picture.decoded();
    if (decoded == nullptr)
        return false;
    surface.drawImage(decoded->image, box.left, box.top, box.width, box.height);
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
