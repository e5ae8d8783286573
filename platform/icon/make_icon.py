#!/usr/bin/env python3
# Draws Kelo's program icon, a 32 x 32 picture of 16 colours, and writes it as a Windows icon file and as a PNG.
# The one source of the picture: Kelo.exe links the icon file as resource 101, kelo embeds its bytes, and the
# Linux desktop entry names the PNG. Usage: make_icon.py [ICO [PNG]]
# (defaults: platform/win32/kelo.ico and platform/gtk/kelo.png beside this folder)
import math
import pathlib
import struct
import sys
import zlib

SIZE = 32

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
    (255, 255, 255),
]
BLACK, GREEN, OLIVE, NAVY, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 2, 3, 4, 7, 8, 9, 11, 12, 15


def fill(picture, x, y, width, height, colour):
    for row in range(y, y + height):
        for column in range(x, x + width):
            picture[row][column] = colour


def disc(picture, cx, cy, radius, colour):
    for row in range(SIZE):
        for column in range(SIZE):
            if (column + 0.5 - cx) ** 2 + (row + 0.5 - cy) ** 2 <= radius * radius:
                picture[row][column] = colour


def thick_path(picture, points, width, colour):
    # Every pixel whose centre lies within width / 2 of the polyline.
    for row in range(SIZE):
        for column in range(SIZE):
            px, py = column + 0.5, row + 0.5
            for (ax, ay), (bx, by) in zip(points, points[1:]):
                dx, dy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
                if math.hypot(px - ax - t * dx, py - ay - t * dy) <= width / 2:
                    picture[row][column] = colour
                    break


def draw():
    """The viewer in small: the dark blue control band with a play button over a green map with a river, a road,
    a red and a yellow unit and the line of a hit between them."""
    picture = [[GREEN] * SIZE for _ in range(SIZE)]
    fill(picture, 0, 0, SIZE, 9, NAVY)
    fill(picture, 2, 1, 10, 7, SILVER)
    for column in range(3):  # the play triangle on the button
        fill(picture, 5 + column, 2 + column, 1, 5 - 2 * column, BLACK)
    fill(picture, 14, 1, 4, 7, SILVER)
    fill(picture, 20, 1, 4, 7, SILVER)
    fill(picture, 25, 3, 5, 3, GREY)
    thick_path(picture, [(0, 30), (9, 24), (14, 27), (24, 18), (32, 16)], 3.2, BLUE)
    thick_path(picture, [(4, 9), (8, 15), (18, 20), (20, 32)], 1.6, OLIVE)
    thick_path(picture, [(9.5, 13.5), (22.5, 23.5)], 1.2, WHITE)
    disc(picture, 9.5, 13.5, 3.2, BLACK)
    disc(picture, 9.5, 13.5, 2.3, RED)
    disc(picture, 23, 24, 3.2, BLACK)
    disc(picture, 23, 24, 2.3, YELLOW)
    fill(picture, 24, 11, 6, 6, BLACK)  # a vehicle
    fill(picture, 25, 12, 4, 4, SILVER)
    fill(picture, 0, 31, SIZE, 1, BLACK)
    for row in range(SIZE):
        picture[row][0] = picture[row][SIZE - 1] = BLACK
    return picture


def icon_file(picture):
    """One 4-bit image: header, directory entry, bitmap header, palette, colour rows and mask rows, bottom up."""
    colour_rows = b"".join(bytes((row[i] << 4) | row[i + 1] for i in range(0, SIZE, 2)) for row in reversed(picture))
    mask_rows = bytes(SIZE * SIZE // 8)  # every pixel opaque
    palette = b"".join(bytes((blue, green, red, 0)) for red, green, blue in PALETTE)
    bitmap = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(colour_rows) + len(mask_rows), 0, 0, 16, 0)
    image = bitmap + palette + colour_rows + mask_rows
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


def png_file(picture):
    """8-bit RGB rows, each after filter byte 0, in one compressed chunk."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\0" + b"".join(bytes(PALETTE[colour]) for colour in row) for row in picture)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def main():
    platform = pathlib.Path(__file__).resolve().parent.parent
    outputs = [pathlib.Path(arg) for arg in sys.argv[1:3]]
    outputs += [platform / "win32" / "kelo.ico", platform / "gtk" / "kelo.png"][len(outputs):]
    picture = draw()
    outputs[0].write_bytes(icon_file(picture))
    outputs[1].write_bytes(png_file(picture))


if __name__ == "__main__":
    main()
