#!/usr/bin/env python3
# PNG pictures of any size for bench/picture_figures.sh, written row by row, as ImageMagick refuses sides over
# 16,000: "icon", a green arrow and a red disc on white (which the colour key makes clear), 32-bit; "map", a gradient
# from black at the top to green, 24-bit. Python 3 standard library only.
# Usage: make_picture.py icon|map PATH WIDTH HEIGHT
import struct, sys, zlib
kind, path, width, height = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
def chunk(tag, data):
    return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
deflate, data = zlib.compressobj(6), []
for y in range(height):
    if kind == "icon":
        row = bytearray(b"\xff" * 4 * width)
        half = y * width // (2 * height)
        row[4 * (width // 2 - half):4 * (width // 2 + half)] = b"\x1e\x78\x28\xff" * (2 * half)
        dy = y - 3 * height // 5
        radius = height // 5
        if abs(dy) < radius:
            across = int((radius * radius - dy * dy) ** 0.5) * width // height
            row[4 * (width // 2 - across):4 * (width // 2 + across)] = b"\xc8\x28\x28\xff" * (2 * across)
    else:
        t = y / max(height - 1, 1)
        row = bytes([int(40 * t), int(160 * t), int(60 * t)]) * width
    data.append(deflate.compress(b"\x00" + bytes(row)))
data.append(deflate.flush())
colour_type = 6 if kind == "icon" else 2
with open(path, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", b"".join(data)) + chunk(b"IEND", b""))
