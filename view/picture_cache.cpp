// The icon cache: a short list in order of use, looked through by path and key, each entry checked against its
// file's version at every use, its decode handed over from the decoding thread, its sizes made on the window's
// thread from the decoded picture. Relies on the size-guarded loader of the Image wrapper, the colour key and the
// area averaging of view/picture_shrink.h.
#include "view/picture_cache.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "view/bitmap_pixels.h"
#include "view/colour_key.h"
#include "view/picture_shrink.h"

namespace {

constexpr ARGB clear = 0x00000000;
// Sizes kept per file: a window being resized goes through a few.
constexpr std::size_t sizesKept = 4;

// The icon at the path, on the decoding thread: keyed as the indices allow, then turned into colours (pixels that
// the file leaves to chance clear), no larger than the decoded side.
std::optional<Image> decodeIcon(const std::string& path, ARGB key)
{
    Image bitmap = Image::loadBitmap(path);
    if (!bitmap.isRasterBitmap())
        return std::nullopt;
    applyColourKey(bitmap, key);
    bitmap.dropPalette(clear);
    const GpRect bounds = pictureBounds(bitmap);
    if (bounds.Width == 0 || bounds.Height == 0)
        return std::nullopt;
    if (bounds.Width <= PictureCache::decodedSide && bounds.Height <= PictureCache::decodedSide)
        return bitmap;
    return shrunk(bitmap, std::min(bounds.Width, PictureCache::decodedSide),
                  std::min(bounds.Height, PictureCache::decodedSide));
}

}  // namespace

PictureCache::PictureCache(PictureDecoder& decoder, std::size_t entryLimit, std::uint64_t pixelLimit)
    : decoder_(decoder), entryLimit_(entryLimit), pixelLimit_(pixelLimit)
{
}

std::shared_ptr<const Image> PictureCache::keyedBitmap(const std::string& path, ARGB key, int drawnSide)
{
    auto found = std::find_if(entries_.begin(), entries_.end(),
                              [&](const Entry& entry) { return entry.path == path && entry.key == key; });
    if (found != entries_.end())
        entries_.splice(entries_.begin(), entries_, found);
    if (found == entries_.end() || frame_ == 0 || found->lookedAtIn != frame_) {
        // The version is taken before the file is read: a change during the read is a new version at the next use.
        FileVersion version = fileVersion(path);
        if (found == entries_.end()) {
            entries_.push_front(Entry{path, key, version, frame_, nullptr, nullptr, {}, 0});
            decode(entries_.front());
        } else {
            found->lookedAtIn = frame_;
            if (found->version != version) {
                count(*found, -static_cast<std::int64_t>(found->pixels));
                *found = Entry{path, key, version, frame_, nullptr, nullptr, {}, 0};
                decode(*found);
            }
        }
    }
    Entry& entry = entries_.front();
    if (entry.decoding) {
        std::optional<Image> decoded;
        if (!entry.decoding->take(decoded))
            return nullptr;
        entry.decoding.reset();
        if (decoded) {
            entry.decoded = std::make_shared<Image>(std::move(*decoded));
            count(entry, static_cast<std::int64_t>(::pixelCount(*entry.decoded)));
        }
    }
    if (!entry.decoded)
        return nullptr;
    std::shared_ptr<const Image> picture = atSize(entry, std::max(drawnSide, 1));
    trim();
    return picture;
}

bool PictureCache::filesChanged() const
{
    return std::any_of(entries_.begin(), entries_.end(), [this](const Entry& entry) {
        return entry.lookedAtIn == frame_ && fileVersion(entry.path) != entry.version;
    });
}

void PictureCache::clear()
{
    entries_.clear();
    pixels_ = 0;
}

void PictureCache::decode(Entry& entry)
{
    // A missing file is not handed to the decoder at all: it could give nothing.
    if (!entry.version.exists)
        return;
    entry.decoding = std::make_shared<HandOver<Image>>();
    decoder_.decode(
        [path = entry.path, key = entry.key, decoding = entry.decoding] { decoding->give(decodeIcon(path, key)); });
}

std::shared_ptr<const Image> PictureCache::atSize(Entry& entry, int drawnSide)
{
    auto found = std::find_if(entry.sizes.begin(), entry.sizes.end(),
                              [&](const Sized& sized) { return sized.drawnSide == drawnSide; });
    if (found != entry.sizes.end()) {
        std::rotate(entry.sizes.begin(), found, found + 1);
        return entry.sizes.front().picture;
    }
    Sized sized{drawnSide, entry.decoded, 0};
    const GpRect bounds = pictureBounds(*entry.decoded);
    const int side = drawnSide * detailPerPixel;
    // A copy that cannot be made leaves the decoded picture to draw, as drawing it always could.
    if (bounds.Width > side || bounds.Height > side) {
        if (std::optional<Image> copy =
                shrunk(*entry.decoded, std::min(bounds.Width, side), std::min(bounds.Height, side))) {
            sized.pixels = ::pixelCount(*copy);
            sized.picture = std::make_shared<const Image>(std::move(*copy));
        }
    }
    count(entry, static_cast<std::int64_t>(sized.pixels));
    entry.sizes.insert(entry.sizes.begin(), std::move(sized));
    if (entry.sizes.size() > sizesKept) {
        count(entry, -static_cast<std::int64_t>(entry.sizes.back().pixels));
        entry.sizes.pop_back();
    }
    return entry.sizes.front().picture;
}

void PictureCache::count(Entry& entry, std::int64_t pixels)
{
    entry.pixels = static_cast<std::uint64_t>(static_cast<std::int64_t>(entry.pixels) + pixels);
    pixels_ = static_cast<std::uint64_t>(static_cast<std::int64_t>(pixels_) + pixels);
}

void PictureCache::trim()
{
    while (entries_.size() > 1 && (entries_.size() > entryLimit_ || pixels_ > pixelLimit_)) {
        pixels_ -= entries_.back().pixels;
        entries_.pop_back();
    }
}
