// Decoded pictures kept by path with the version of their file (view/file_version.h), checked at every use (once a
// frame, when frames are told), so a changed, added or removed file shows at the next frame exactly as if it were read
// every time.
// Vehicle icons are kept decoded and colour-keyed; the map picture needs no keeping (it is read once per map line)
// and shares only the loader's size guard, which sits inside Image::load and Image::loadBitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "view/file_version.h"
#include "view/gdiplus_wrappers.h"

// Bound: at most entryLimit pictures and pixelLimit decoded pixels (4 bytes each), the least recently used going
// first, so a log naming thousands of classes cannot make it grow; the picture just asked for always stays, even
// one larger than pixelLimit on its own. A file that gives no picture (missing, unreadable, refused by the size
// guard) is kept too, as no picture for that version of the file, so it is not tried again every frame.
class PictureCache {
public:
    static constexpr std::size_t defaultEntryLimit = 48;
    static constexpr std::uint64_t defaultPixelLimit = 16 * 1024 * 1024;

    explicit PictureCache(std::size_t entryLimit = defaultEntryLimit, std::uint64_t pixelLimit = defaultPixelLimit);

    // The file's picture as a bitmap with every pixel equal to `key` made clear, decoded and keyed once per version
    // of the file; null when the file gives no raster picture. The picture stays valid while it is held.
    std::shared_ptr<const Image> keyedBitmap(const std::string& path, ARGB key);

    // Starts a frame: from now on each file is looked at once until the next frame starts, however many units show
    // it (a change within the few milliseconds of composing one frame shows at the next, as one just after would).
    // Until the first call, every use looks at the file.
    void newFrame() { ++frame_; }

    std::size_t entryCount() const { return entries_.size(); }
    void clear();

private:
    struct Entry {
        std::string path;
        ARGB key = 0;
        FileVersion version;
        std::shared_ptr<const Image> picture;
        std::uint64_t pixels = 0;
        std::uint64_t lookedAtIn = 0;  // the frame in which the file's version was last looked at
    };

    void trim();

    std::size_t entryLimit_;
    std::uint64_t pixelLimit_;
    std::list<Entry> entries_;  // most recently used first
    std::uint64_t pixels_ = 0;
    std::uint64_t frame_ = 0;
};

// The vehicle icons of the program; emptied with the rest of the program's state, while GDI+ still runs.
extern PictureCache iconCache;
