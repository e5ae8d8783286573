// The PNG writer of the headless backend: libpng with the zlib level and filter that cost least, written row by row
// straight from the caller's pixels.
// libpng reports failures by longjmp: nothing with a destructor lives in the function that sets the jump.
#include "platform/headless/png_file.h"

#include <png.h>

#include <bit>
#include <cstdio>
#include <vector>

namespace {

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Every libpng call that can fail, in one function without objects to destroy; false on a libpng error.
// B, G, R, A in memory (0xAARRGGBB on this little-endian machine) to R, G, B, A, a pixel at a time: several times
// faster than libpng's byte-wise transform.
void toRgba(const std::uint32_t* from, std::uint32_t* to, int count)
{
    static_assert(std::endian::native == std::endian::little);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t pixel = from[i];
        to[i] = (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
    }
}

// `row` holds one row of RGBA pixels while it is written.
bool encode(WriteStructs& structs, std::FILE* file, const std::uint32_t* pixels, int width, int height, int stride,
            std::uint32_t* row)
{
    png_structp png = structs.png;
    png_infop info = structs.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    // Stored without compression and without filtering: zlib's compression costs 5 to 10 ms a frame even at level 1
    // (libgdiplus' defaults about 55 ms), storing well under 1 ms, for files about three times as large.
    png_set_compression_level(png, 0);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_buffer_size(png, 1 << 17);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        toRgba(pixels + static_cast<std::ptrdiff_t>(y) * stride, row, width);
        png_write_row(png, reinterpret_cast<png_const_bytep>(row));
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

bool writePngFile(const std::string& path, const std::uint32_t* pixels, int width, int height, int stride)
{
    if (width <= 0 || height <= 0 || stride < width)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    WriteStructs structs;
    structs.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (structs.png != nullptr)
        structs.info = png_create_info_struct(structs.png);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    bool written = structs.info != nullptr && encode(structs, file, pixels, width, height, stride, row.data());
    png_destroy_write_struct(&structs.png, &structs.info);
    return std::fclose(file) == 0 && written;
}
