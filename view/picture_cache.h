// Vehicle icons kept by path with the version of their file (view/file_version.h), checked at every use (once a
// frame, when frames are told), so a changed, added or removed file shows at the next frame as if it were read every
// time (or, decoded aside, once its decode is done). Each is decoded once per version of its file, keyed and made
// small on the decoding thread (view/picture_decoder.h), then kept at each size it is drawn at.
// The map picture needs no keeping here (it is read once per map line) and shares only the loader's size guard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "view/file_version.h"
#include "view/gdiplus_wrappers.h"
#include "view/picture_decoder.h"

// Bound: at most entryLimit files and pixelLimit kept pixels (4 bytes each), the least recently used file going
// first, so a log naming thousands of classes cannot make it grow; the file just asked for always stays. A file
// that gives no picture (missing, unreadable, refused by the size guard) is kept too, as no picture for that version
// of the file, so it is not tried again every frame.
class PictureCache {
public:
    static constexpr std::size_t defaultEntryLimit = 512;
    static constexpr std::uint64_t defaultPixelLimit = 16 * 1024 * 1024;
    // A decoded icon is kept at most this many pixels a side (made smaller once, on the decoding thread), enough for
    // the sizes it is drawn at: a large icon file costs one decode, not a copy of its own size.
    static constexpr int decodedSide = 256;
    // An icon is drawn from a copy at most this many times its drawn size a side: the detail that drawing it turned
    // and at fractions of a pixel can use, no more. One no larger than that is drawn from the decoded picture itself.
    static constexpr int detailPerPixel = 4;

    // Decodes go through `decoder`, which outlives the cache.
    explicit PictureCache(PictureDecoder& decoder, std::size_t entryLimit = defaultEntryLimit,
                          std::uint64_t pixelLimit = defaultPixelLimit);

    // The file's picture as a bitmap with every pixel equal to `key` made clear, for drawing into a square of
    // `drawnSide` device pixels: kept at that size per version of the file; null while it is being decoded aside, or
    // when the file gives no raster picture. The picture stays valid while it is held.
    std::shared_ptr<const Image> keyedBitmap(const std::string& path, ARGB key, int drawnSide);

    // Starts a frame: from now on each file is looked at once until the next frame starts, however many units show
    // it (a change within the few milliseconds of composing one frame shows at the next, as one just after would).
    // Until the first call, every use looks at the file.
    void newFrame() { ++frame_; }
    // Whether a file looked at in the current frame has another version now: the next frame would show it.
    bool filesChanged() const;

    std::size_t entryCount() const { return entries_.size(); }
    // The pixels of every picture kept.
    std::uint64_t pixelCount() const { return pixels_; }
    void clear();

private:
    struct Sized {
        int drawnSide = 0;
        std::shared_ptr<const Image> picture;  // the decoded picture itself, or a copy of its own
        std::uint64_t pixels = 0;  // those of a copy of its own
    };
    struct Entry {
        std::string path;
        ARGB key = 0;
        FileVersion version;
        std::uint64_t lookedAtIn = 0;  // the frame in which the file's version was last looked at
        std::shared_ptr<HandOver<Image>> decoding;  // while the decode goes on
        std::shared_ptr<Image> decoded;  // null: no picture (yet)
        std::vector<Sized> sizes;  // the most recently drawn first
        std::uint64_t pixels = 0;
    };

    void decode(Entry& entry);
    std::shared_ptr<const Image> atSize(Entry& entry, int drawnSide);
    void count(Entry& entry, std::int64_t pixels);
    void trim();

    PictureDecoder& decoder_;
    std::size_t entryLimit_;
    std::uint64_t pixelLimit_;
    std::list<Entry> entries_;  // most recently used first
    std::uint64_t pixels_ = 0;
    std::uint64_t frame_ = 0;
};
