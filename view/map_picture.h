// The decoded map picture that a world keeps between map lines, shared read-only by copies of the world, and its
// drawing onto the map area. It may still be on its way from the decoding thread (view/picture_decoder.h): until it
// is handed over, it draws nothing, as no picture does.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "view/camera_view.h"
#include "view/file_version.h"
#include "view/frame_layout.h"
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
    // The picture stretched down to the map area of a frame drawn `scale` times larger, on a clear bitmap that
    // reaches from the frame's corner to the map area's far corner at that scale: made at the first frame of a scale,
    // so that the frames after it lay it 1:1 instead of resampling the whole picture. Only for the window's thread,
    // once decoded() gave the picture.
    const Image& stretchedAt(float scale) const;

private:
    struct Scaled {
        float scale = 1;
        Image stretched;
    };

    mutable std::shared_ptr<HandOver<Decoded>> decoding_;  // till the decode is done
    mutable std::optional<Decoded> decoded_;
    mutable std::optional<Scaled> scaled_;  // for the last scale drawn at
};

// Draws the picture stretched onto the surface's map area: the stretched copy laid 1:1, which
// gives the pixels that stretching the picture onto the frame every time gives (translucent edges included), at a
// fraction of the cost. On a scaled surface the copy stretched at that scale is laid 1:1, sharp. Through a
// camera that is not at rest, only the part of the picture the map area shows is drawn, from the picture's own
// pixels at the size it is shown, on black where the view reaches beyond the map. False, with nothing drawn, while
// the picture is being decoded or when its file gave none: the map area then shows what it shows without a picture.
bool drawMapPicture(Surface& surface, const MapPicture& picture, const CameraView& camera);
// The whole picture in a box of the frame (the camera's overview); false as drawMapPicture says.
bool drawWholePicture(Surface& surface, const MapPicture& picture, const FrameRegion& box);

// Loads map pictures through the decoder. The last picture is remembered with its file's version while a world still
// holds it, so a world that passes the same map line again (a seek, a log played afresh) holds the very same
// picture; a version of the file that gave no picture is not decoded again either, since a broken file can cost the
// decoder memory at every attempt.
class MapPictureLoader {
public:
    // The last version of a map file whose decode gave no picture, written by the decoding thread.
    class NoPicture {
    public:
        void remember(const std::string& path, const FileVersion& version);
        bool is(const std::string& path, const FileVersion& version);

    private:
        std::mutex mutex_;
        std::optional<std::string> path_;
        FileVersion version_;
    };

    // Decodes go through `decoder`, which outlives the loader.
    explicit MapPictureLoader(PictureDecoder& decoder);

    // The picture at the path, decoded now or aside as the decoder says; null when the file cannot be read as a
    // picture and that is known at once (decoded now, or known of this version of the file before).
    std::shared_ptr<const MapPicture> load(const std::string& path);

private:
    PictureDecoder& decoder_;
    std::shared_ptr<NoPicture> noPicture_;  // shared with the decodes under way
    std::string lastPath_;
    FileVersion lastVersion_;
    std::weak_ptr<const MapPicture> lastPicture_;
};
