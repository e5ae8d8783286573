// The size guard in front of every picture decoder: reads the file's declared size and refuses a picture
// over the bounds of view/picture_header.h before any pixel is allocated for it.
// Relies on the header readers and on the file versions of view/file_version.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "view/picture_header.h"

constexpr std::size_t pictureReadLimit = 256u * 1024 * 1024;

// False when the picture must not be decoded: it declares too much (one warning line on standard error, once per
// version of the file), it is of a recognised format and no size can be read from it (no decoder could show it),
// or it is no regular file (missing, a folder, or a pipe or device that could keep a reader waiting); the last
// two without a warning. True otherwise. At most pictureReadLimit bytes are read, and only as far as the header
// needs.
bool pictureMayBeDecoded(const std::string& path);
// The same judgement, with the header it was made on when the picture may be decoded; none when it must not be.
std::optional<PictureHeader> decodableHeader(const std::string& path);
