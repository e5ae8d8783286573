// The picture cache: a short list in order of use, looked through by path and key, each entry checked against
// its file's version at every use. Relies on the size-guarded loader of the Image wrapper and the colour key.
#include "view/picture_cache.h"

#include <algorithm>
#include <utility>

#include "view/bitmap_pixels.h"
#include "view/colour_key.h"

PictureCache iconCache;

PictureCache::PictureCache(std::size_t entryLimit, std::uint64_t pixelLimit)
    : entryLimit_(entryLimit), pixelLimit_(pixelLimit)
{
}

std::shared_ptr<const Image> PictureCache::keyedBitmap(const std::string& path, ARGB key)
{
    auto found = std::find_if(entries_.begin(), entries_.end(),
                              [&](const Entry& entry) { return entry.path == path && entry.key == key; });
    if (found != entries_.end() && frame_ != 0 && found->lookedAtIn == frame_) {
        entries_.splice(entries_.begin(), entries_, found);
        return found->picture;
    }
    // The version is taken before the file is read: a change during the read is a new version at the next use.
    FileVersion version = fileVersion(path);
    if (found != entries_.end()) {
        entries_.splice(entries_.begin(), entries_, found);
        found->lookedAtIn = frame_;
        if (found->version == version)
            return found->picture;
        pixels_ -= found->pixels;
        entries_.pop_front();
    }
    Entry entry{path, key, version, nullptr, 0, frame_};
    // A missing file is not handed to the decoder at all: it could give nothing.
    if (version.exists) {
        auto bitmap = std::make_shared<Image>(Image::loadBitmap(path));
        if (bitmap->isRasterBitmap()) {
            // Keyed as the indices allow, then drawn from colours.
            applyColourKey(*bitmap, key);
            bitmap->dropPalette();
            entry.pixels = pixelCount(*bitmap);
            entry.picture = std::move(bitmap);
        }
    }
    pixels_ += entry.pixels;
    entries_.push_front(std::move(entry));
    trim();
    return entries_.front().picture;
}

void PictureCache::clear()
{
    entries_.clear();
    pixels_ = 0;
}

void PictureCache::trim()
{
    while (entries_.size() > 1 && (entries_.size() > entryLimit_ || pixels_ > pixelLimit_)) {
        pixels_ -= entries_.back().pixels;
        entries_.pop_back();
    }
}
