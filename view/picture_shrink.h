// Pictures made smaller by averaging: each pixel of the result is the mean of the picture's pixels under it, each
// weighted by the share of it that lies under, in premultiplied colours (so a clear pixel adds no colour). Relies
// on the pixel locks of view/bitmap_pixels.h, a band of rows at a time, so that a large picture is never held twice.
#pragma once

#include <optional>

#include "view/gdiplus_wrappers.h"

// The picture at `width` x `height`, premultiplied, each no larger than the picture's own side (a side that is not
// made smaller keeps its pixels as they are); none when the picture cannot be read or the result made.
std::optional<Image> shrunk(Image& picture, int width, int height);
