// Area averaging in two passes per row of the picture: across into the result's columns, then down into the result's
// rows. A pixel of the picture lies under one or two pixels of the result on each axis, never more, since the result
// is no larger than the picture.
#include "view/picture_shrink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "view/bitmap_pixels.h"

namespace {

// Where one pixel of the picture goes along an axis: into `first` with `firstShare` of its weight and the rest into
// the next one.
struct Share {
    int first = 0;
    double firstShare = 1;
};

std::vector<Share> shares(int from, int to)
{
    const double step = static_cast<double>(from) / to;
    std::vector<Share> result(static_cast<std::size_t>(from));
    for (int at = 0; at < from; ++at) {
        Share& share = result[static_cast<std::size_t>(at)];
        share.first = std::min(static_cast<int>(at / step), to - 1);
        const double end = (share.first + 1) * step;
        // The last pixel of the result ends where the picture does, whatever the rounding says.
        if (share.first + 1 < to && at + 1 > end)
            share.firstShare = end - at;
    }
    return result;
}

constexpr int channels = 4;

}  // namespace

std::optional<Image> shrunk(Image& picture, int width, int height)
{
    const GpRect bounds = pictureBounds(picture);
    if (width <= 0 || height <= 0 || width > bounds.Width || height > bounds.Height)
        return std::nullopt;
    const std::vector<Share> across = shares(bounds.Width, width);
    const std::vector<Share> down = shares(bounds.Height, height);
    std::vector<double> sums(static_cast<std::size_t>(width) * height * channels, 0.0);
    std::vector<double> row(static_cast<std::size_t>(width) * channels);
    const int band = std::max(1, (1 << 20) / bounds.Width);
    for (int top = 0; top < bounds.Height; top += band) {
        const int rows = std::min(band, bounds.Height - top);
        const PixelLock lock(picture, top, rows, PixelForm::premultiplied, false);
        if (!lock.locked())
            return std::nullopt;
        for (int y = 0; y < rows; ++y) {
            std::fill(row.begin(), row.end(), 0.0);
            const ARGB* pixels = lock.row(y);
            for (int x = 0; x < bounds.Width; ++x) {
                const Share& share = across[static_cast<std::size_t>(x)];
                double* into = &row[static_cast<std::size_t>(share.first) * channels];
                for (int channel = 0; channel < channels; ++channel) {
                    const double value = (pixels[x] >> (8 * channel)) & 0xFF;
                    into[channel] += value * share.firstShare;
                    if (share.firstShare < 1)
                        into[channel + channels] += value * (1 - share.firstShare);
                }
            }
            const Share& share = down[static_cast<std::size_t>(top + y)];
            const std::array<std::pair<int, double>, 2> targets{std::pair{share.first, share.firstShare},
                                                                std::pair{share.first + 1, 1 - share.firstShare}};
            for (const auto& [target, weight] : targets) {
                if (weight <= 0)
                    continue;
                double* into = &sums[static_cast<std::size_t>(target) * width * channels];
                for (std::size_t i = 0; i < row.size(); ++i)
                    into[i] += row[i] * weight;
            }
        }
    }
    Image result = Image::blank(width, height, PixelForm::premultiplied);
    const double area = static_cast<double>(bounds.Width) / width * (static_cast<double>(bounds.Height) / height);
    {
        // Written back when the lock ends, before the result goes anywhere.
        const PixelLock out(result, 0, height, PixelForm::premultiplied, true);
        if (!out.locked())
            return std::nullopt;
        for (int y = 0; y < height; ++y) {
            ARGB* pixels = out.row(y);
            for (int x = 0; x < width; ++x) {
                const double* sum = &sums[(static_cast<std::size_t>(y) * width + x) * channels];
                ARGB pixel = 0;
                for (int channel = 0; channel < channels; ++channel) {
                    const long value = std::lround(sum[channel] / area);
                    pixel |= static_cast<ARGB>(std::clamp(value, 0L, 255L)) << (8 * channel);
                }
                pixels[x] = pixel;
            }
        }
    }
    return result;
}
