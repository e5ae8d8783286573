#!/usr/bin/env python3
# Draws the demo's map picture, Brackwater.png: 4096 x 4096 palette pixels with detail worth zooming into (fields
# with their rows, hedgerows and trees, woods, the river with its banks, roads with their verges and a bridge, the
# town's houses, the beach and the sea). Python 3 standard library only; deterministic. Drawn a row span at a time.
# Usage: examples/demo/make_map.py [PNG]  (default: Maps/Brackwater.png beside this script; make_demo.py calls it)
import math
import os
import struct
import sys
import zlib

SIZE = 4096
MAP_SIZE = 4000.0
PX = SIZE / MAP_SIZE  # picture pixels a map unit

RIVER = [(1150, 4100), (1350, 3500), (1900, 3150), (2050, 2700), (2250, 2350), (2210, 2000), (2450, 1650),
         (2900, 1450), (3300, 1300), (3800, 1250)]
MAIN_ROAD = [(-100, 1900), (600, 2000), (1200, 2080), (1600, 2060), (2200, 2030), (2700, 2080), (3050, 2150),
             (3250, 2170)]
NORTH_ROAD = [(1500, -100), (1550, 900), (1620, 1600), (1600, 2060), (1700, 2800), (1900, 3500), (2000, 4100)]
TOWN = (3080, 2160)


# [SECTION] Geometry and noise, in map units: x to the east, y to the north


def spline(points, step=8.0):
    """Catmull-Rom curve through the control points, sampled about every `step` map units."""
    out = []
    padded = [points[0]] + list(points) + [points[-1]]
    for i in range(1, len(padded) - 2):
        p0, p1, p2, p3 = padded[i - 1], padded[i], padded[i + 1], padded[i + 2]
        count = max(1, int(math.dist(p1, p2) / step))
        for k in range(count):
            t = k / count
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * (2 * p1[d] + (-p0[d] + p2[d]) * t + (2 * p0[d] - 5 * p1[d] + 4 * p2[d] - p3[d]) * t2
                                    + (-p0[d] + 3 * p1[d] - 3 * p2[d] + p3[d]) * t3) for d in range(2)))
    out.append(points[-1])
    return out


def hash01(i, j, seed):
    n = (i * 374761393 + j * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFFFF) / float(0x1000000)


def noise(x, y, seed):
    """Smooth value noise in [0, 1): a hashed lattice, interpolated with smoothstep."""
    i, j = math.floor(x), math.floor(y)
    fx, fy = x - i, y - j
    sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a, b = hash01(i, j, seed), hash01(i + 1, j, seed)
    c, d = hash01(i, j + 1, seed), hash01(i + 1, j + 1, seed)
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy


def fbm(x, y, seed, octaves=3):
    total, amplitude, norm = 0.0, 1.0, 0.0
    for octave in range(octaves):
        total += amplitude * noise(x, y, seed + octave)
        norm += amplitude
        x, y, amplitude = x * 2.03, y * 2.03, amplitude * 0.5
    return total / norm


def coast_x(y):
    return 3380 + 170 * math.sin(y / 610.0) + 80 * math.sin(y / 230.0 + 1.0) + 160 * (fbm(0.3, y / 420.0, 71) - 0.5)


def to_pixel(x, y):
    return x * PX, (MAP_SIZE - y) * PX


# [SECTION] The palette: every colour of the picture, named; shades of one colour sit side by side


class Palette:
    def __init__(self):
        self.colours = []
        self.index = {}

    def add(self, name, colour, shades=(1.0,)):
        self.index[name] = len(self.colours)
        for factor in shades:
            self.colours.append(tuple(max(0, min(255, int(round(c * factor)))) for c in colour))
        return self.index[name]


PALETTE = Palette()
FIELDS = [PALETTE.add("field%d" % k, colour, (0.9, 0.97, 1.04)) for k, colour in enumerate(
    [(196, 178, 98), (128, 162, 78), (150, 180, 92), (170, 140, 96), (112, 148, 70), (204, 190, 120),
     (140, 170, 100)])]
HEDGE = PALETTE.add("hedge", (70, 100, 50), (0.8, 1.0))
TREE = PALETTE.add("tree", (46, 84, 44), (0.62, 0.8, 1.0, 1.2))
SEA = [PALETTE.add("sea%d" % k, (int(92 - 8 * k), int(160 - 10 * k), int(196 - 6 * k)), (1.0, 1.1)) for k in range(6)]
SAND = PALETTE.add("sand", (226, 212, 160), (0.93, 1.0))
BANK = PALETTE.add("bank", (96, 128, 84), (0.85, 1.0, 1.12))
MUD = PALETTE.add("mud", (150, 134, 100), (0.92, 1.0))
WATER = PALETTE.add("water", (74, 132, 176), (1.0, 1.08))
DEEP = PALETTE.add("deep", (88, 150, 192), (0.9, 1.0))
VERGE = PALETTE.add("verge", (120, 112, 90))
ROAD = PALETTE.add("road", (214, 200, 164), (0.95, 1.0))
LINE = PALETTE.add("line", (245, 240, 225))
DECK = PALETTE.add("deck", (150, 140, 128))
RAIL = PALETTE.add("rail", (70, 64, 58))
ROOFS = [PALETTE.add("tile", (168, 78, 58), (0.8, 1.0)), PALETTE.add("slate", (108, 112, 124), (0.8, 1.0))]
RIDGE = PALETTE.add("ridge", (60, 50, 46))
SHADOW = PALETTE.add("shadow", (52, 62, 40))


# [SECTION] Drawing: spans of one row at a time into a bytearray of palette indices


class Canvas:
    def __init__(self):
        self.pixels = bytearray(SIZE * SIZE)
        self.solid = [bytes([i]) * SIZE for i in range(len(PALETTE.colours))]

    def span(self, y, x0, x1, row):
        """Row y from x0 to x1 (exclusive) takes `row`'s bytes at the same columns (a palette index's solid row or
        a pattern)."""
        x0, x1 = max(0, int(x0)), min(SIZE, int(x1))
        if 0 <= y < SIZE and x0 < x1:
            self.pixels[y * SIZE + x0:y * SIZE + x1] = row[x0:x1]

    def disc(self, cx, cy, radius, row_of, clip=None):
        """A disc at the pixel point; row_of(y) gives the row to take, clip(y) the column it stops at."""
        for y in range(int(cy - radius), int(cy + radius) + 2):
            dy = y + 0.5 - cy
            if dy * dy > radius * radius:
                continue
            half = math.sqrt(radius * radius - dy * dy)
            right = cx + half if clip is None else min(cx + half, clip(y))
            self.span(y, round(cx - half), round(right), row_of(y))

    def polygon(self, points, row_of):
        """A convex polygon of pixel points, filled row by row."""
        top = max(0, int(min(p[1] for p in points)))
        bottom = min(SIZE - 1, int(max(p[1] for p in points)) + 1)
        edges = list(zip(points, points[1:] + points[:1]))
        for y in range(top, bottom + 1):
            yc = y + 0.5
            xs = [x0 + (yc - y0) * (x1 - x0) / (y1 - y0) for (x0, y0), (x1, y1) in edges
                  if y0 != y1 and min(y0, y1) <= yc < max(y0, y1)]
            if len(xs) >= 2:
                self.span(y, round(min(xs)), round(max(xs)), row_of(y))

    def png(self):
        raw = bytearray()
        for y in range(SIZE):
            raw.append(0)
            raw.extend(self.pixels[y * SIZE:(y + 1) * SIZE])

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

        palette = b"".join(bytes(colour) for colour in PALETTE.colours)
        header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
                + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def speckle_rows(first, shades, seed, count=16, share=0.35):
    """Rows of `first` with a share of its other shades scattered over it, a different scatter each row."""
    rows = []
    for r in range(count):
        row = bytearray([first]) * SIZE
        for x in range(SIZE):
            h = hash01(x, r, seed)
            if h < share:
                row[x] = first + 1 + int(h / share * (shades - 1))
        rows.append(bytes(row))
    return lambda y: rows[int(hash01(y, 0, seed) * count)]


def stripe_rows(first, period, slope, seed):
    """Crop rows: two shades of a field, `period` pixels apart, leaning by `slope` columns a row."""
    cycle = bytes([first + 1]) * (period // 2) + bytes([first + 2]) * (period - period // 2)
    long_row = cycle * (SIZE // period + 2)
    if slope == 0:
        return lambda y: bytes([first + 1 + (y // (period // 2)) % 2]) * SIZE
    return lambda y: long_row[(y * slope + seed) % period:][:SIZE]


# [SECTION] The layers, bottom first


def draw_fields(canvas):
    """Parcels of a warped grid, each sown in rows or left as grass, and the hedgerows between them."""
    nodes = {}
    for i in range(-1, 15):
        for j in range(-1, 18):
            x, y = i * 330.0, j * 260.0
            nodes[i, j] = to_pixel(x + 160 * (fbm(x / 900.0, y / 900.0, 11) - 0.5),
                                   y + 160 * (fbm(x / 900.0, y / 900.0, 23) - 0.5))
    for i in range(-1, 14):
        for j in range(-1, 17):
            quad = [nodes[i, j], nodes[i + 1, j], nodes[i + 1, j + 1], nodes[i, j + 1]]
            first = FIELDS[int(hash01(i, j, 5) * len(FIELDS))]
            kind = hash01(i, j, 6)
            if kind < 0.55:
                rows = stripe_rows(first, 6 + 2 * int(hash01(i, j, 7) * 3), (-1, 0, 1, 2)[int(hash01(i, j, 8) * 4)],
                                   i * 7 + j)
            else:
                rows = speckle_rows(first, 3, 200 + (i * 31 + j) % 13)
            canvas.polygon(quad, rows)
    hedge = speckle_rows(HEDGE, 2, 300, share=0.5)
    for (i, j), (x, y) in nodes.items():
        for neighbour in ((i + 1, j), (i, j + 1)):
            if neighbour not in nodes:
                continue
            nx, ny = nodes[neighbour]
            steps = int(math.dist((x, y), (nx, ny)) / 2)
            for k in range(steps + 1):
                t = k / max(1, steps)
                px, py = x + (nx - x) * t, y + (ny - y) * t
                canvas.disc(px, py, 2.6, hedge)
                if hash01(int(px), int(py), 310) < 0.035:  # a tree in the hedge
                    draw_tree(canvas, px, py, 5 + 4 * hash01(int(px), int(py), 311))


def draw_tree(canvas, x, y, radius):
    canvas.disc(x + radius * 0.35, y + radius * 0.35, radius, lambda _: canvas.solid[SHADOW])
    canvas.disc(x, y, radius, lambda _: canvas.solid[TREE + 1])
    canvas.disc(x - radius * 0.25, y - radius * 0.25, radius * 0.6, lambda _: canvas.solid[TREE + 2])
    canvas.disc(x - radius * 0.35, y - radius * 0.4, radius * 0.25, lambda _: canvas.solid[TREE + 3])


def draw_woods(canvas):
    """Woods where a slow noise is high: a dark floor, then crowns crowding over it."""
    cell = 16
    for gy in range(0, SIZE, cell):
        for gx in range(0, SIZE, cell):
            x, y = (gx + cell / 2) / PX, MAP_SIZE - (gy + cell / 2) / PX
            if fbm(x / 650.0, y / 650.0, 51) <= 0.6:
                continue
            for y_row in range(gy, gy + cell):
                canvas.span(y_row, gx, gx + cell, canvas.solid[TREE])
            for k in range(3):
                draw_tree(canvas, gx + cell * hash01(gx, gy, 400 + k), gy + cell * hash01(gx, gy, 410 + k),
                          6 + 5 * hash01(gx, gy, 420 + k))


def draw_coast(canvas):
    """The beach and the sea, deeper further out, with ripples."""
    ripples = [speckle_rows(band, 2, 500 + k, share=0.12) for k, band in enumerate(SEA)]
    sand = speckle_rows(SAND, 2, 520)
    for y in range(SIZE):
        shore = coast_x(MAP_SIZE - (y + 0.5) / PX) * PX
        canvas.span(y, shore - 55 * PX, shore, sand(y))
        for band in range(len(SEA)):
            start = shore + band * 90 * PX
            canvas.span(y, start, SIZE if band == len(SEA) - 1 else start + 90 * PX, ripples[band](y))


def shore_column(y):
    return coast_x(MAP_SIZE - (y + 0.5) / PX) * PX - 55 * PX


def draw_river(canvas):
    """The river up to the beach: a green bank, a strip of mud, the water and its deeper middle."""
    path = [to_pixel(x, y) for x, y in spline(RIVER, 5.0)]
    layers = [(50, speckle_rows(BANK, 3, 600, share=0.5)), (40, speckle_rows(MUD, 2, 610)),
              (34, speckle_rows(WATER, 2, 620, share=0.08)), (16, speckle_rows(DEEP, 2, 630, share=0.1))]
    for radius, rows in layers:
        for x, y in path:
            canvas.disc(x, y, radius * PX, rows, clip=shore_column)
    return path


def draw_roads(canvas, river):
    """Roads: a verge, the surface and a dashed centre line; over the river a deck between two rails."""
    def over_water(x, y):
        return min((x - rx) ** 2 + (y - ry) ** 2 for rx, ry in river[::4]) < (44 * PX) ** 2

    for road, width in ((MAIN_ROAD, 26), (NORTH_ROAD, 20)):
        path = [to_pixel(x, y) for x, y in spline(road, 4.0)]
        bridge = [over_water(x, y) for x, y in path]
        surface = speckle_rows(ROAD, 2, 700, share=0.3)
        for (x, y), wet in zip(path, bridge):
            canvas.disc(x, y, (width + 9) * PX, lambda _: canvas.solid[RAIL if wet else VERGE])
        for (x, y), wet in zip(path, bridge):
            canvas.disc(x, y, width * PX, (lambda _: canvas.solid[DECK]) if wet else surface)
        for k, (x, y) in enumerate(path):
            if (k // 6) % 2 == 0:
                canvas.disc(x, y, 1.3, lambda _: canvas.solid[LINE])


def draw_house(canvas, hx, hy, w, h, roof):
    x0, y0 = to_pixel(hx - w / 2, hy + h / 2)
    x1, y1 = to_pixel(hx + w / 2, hy - h / 2)
    for y in range(int(y0) + 3, int(y1) + 4):
        canvas.span(y, x0 + 3, x1 + 3, canvas.solid[SHADOW])
    middle = (y0 + y1) / 2
    for y in range(int(y0), int(y1) + 1):
        canvas.span(y, x0, x1, canvas.solid[roof if y < middle else roof + 1])
    canvas.span(int(middle), x0, x1, canvas.solid[RIDGE])


def draw_buildings(canvas):
    """The town's houses along the main road, and farms beside the roads."""
    for k in range(40):
        hx = TOWN[0] + (hash01(k, 1, 101) - 0.5) * 560
        hy = TOWN[1] + (hash01(k, 2, 101) - 0.5) * 520
        if abs(hy - TOWN[1]) < 60 or hx > coast_x(hy) - 110:
            continue
        draw_house(canvas, hx, hy, 60 + 60 * hash01(k, 3, 101), 55 + 45 * hash01(k, 4, 101),
                   ROOFS[0] if hash01(k, 5, 101) < 0.6 else ROOFS[1])
    for road in (MAIN_ROAD, NORTH_ROAD):
        for k, (x, y) in enumerate(spline(road, 300.0)[1:-1]):
            side = 1 if hash01(k, 7, 111) < 0.5 else -1
            fx, fy = x + side * 75, y + side * 70
            if fx > coast_x(fy) - 120 or math.dist((fx, fy), (2210, 2030)) < 260:
                continue
            for b in range(3):
                draw_house(canvas, fx + 45 * b * side, fy - 30 * b, 26 + 20 * hash01(k, b, 112),
                           22 + 16 * hash01(k, b, 113), ROOFS[b % 2])


def map_png():
    canvas = Canvas()
    draw_fields(canvas)
    draw_woods(canvas)
    draw_coast(canvas)
    river = draw_river(canvas)
    draw_roads(canvas, river)
    draw_buildings(canvas)
    return canvas.png()


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "Maps",
                                                              "Brackwater.png")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(map_png())


if __name__ == "__main__":
    main()
