// The decoded map picture that a world keeps between map lines, shared read-only by copies of the world, and its
// drawing onto the map area. It may still be on its way from the decoding thread (view/picture_decoder.h): until it
// is handed over, it draws nothing, as no picture does.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "view/gdiplus_wrappers.h"
#include "view/picture_decoder.h"
#include "world/world_model.h"

struct MapPicture {
public:
    // What the decode makes: the picture, and the picture stretched onto a clear bitmap of the frame's size down to
    // the map area, at the very place it has on the frame (the stretch's fixed-point arithmetic depends on where the
    // picture lies, and so do its roundings).
    struct Decoded {
        Image image;
        Image stretched;
    };

    explicit MapPicture(std::shared_ptr<HandOver<Decoded>> decoding);

    // The decoded picture and its stretched copy once handed over; none while the decode goes on, or when the file
    // gave no picture. Only for the window's thread.
    const Decoded* decoded() const;

private:
    mutable std::shared_ptr<HandOver<Decoded>> decoding_;  // till the decode is done
    mutable std::optional<Decoded> decoded_;
};

// Draws the picture stretched onto the surface's map area: the stretched copy laid 1:1, which
// gives the pixels that stretching the picture onto the frame every time gives (translucent edges included), at a
// fraction of the cost. On a scaled surface the picture is drawn from itself, sharp at the scaled size. False, with
// nothing drawn, while the picture is being decoded or when its file gave none: the map area then shows what it
// shows without a picture.
bool drawMapPicture(Surface& surface, const MapPicture& picture);

// The picture at the path, decoded now or aside as view/picture_decoder.h says; null when the file cannot be read as
// a picture and that is known at once (decoded now, or known of this version of the file before).
std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path);
