// The drawing caches of one viewer: the decoding thread that pictures are decoded on, the kept fonts and texts, the
// vehicle icons and the map pictures' loader. Emptied with the rest of the viewer's state, while GDI+ still runs.
#pragma once

#include "view/kept_text.h"
#include "view/map_picture.h"
#include "view/picture_cache.h"
#include "view/picture_decoder.h"

struct DrawingCaches {
    // The decoding thread ends before the caches that its decodes hand over to.
    ~DrawingCaches() { decoder.stop(); }

    // Everything as at start-up; the decoding thread ends first. Decodes keep running aside if they did.
    void clear()
    {
        decoder.stop();
        icons.clear();
        texts.clear();
    }

    PictureDecoder decoder;
    KeptText texts;
    PictureCache icons{decoder};
    MapPictureLoader maps{decoder};
};
