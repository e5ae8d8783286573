// Writing 32-bit pixels as a PNG file with libpng directly: 8-bit RGBA with the sRGB, gamma and chromaticity
// chunks that libgdiplus' encoder writes, so the files decode to the same pixels, stored at zlib level 0 for speed.
#pragma once

#include <cstdint>
#include <string>

// Writes `height` rows of `width` pixels, each a 0xAARRGGBB value (B, G, R, A in memory), `stride` values apart.
// False when the file cannot be written.
bool writePngFile(const std::string& path, const std::uint32_t* pixels, int width, int height, int stride);
