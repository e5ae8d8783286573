#!/usr/bin/env python3
# Makes Kelo's bundled demo: the replay log demo.log, its Kelo.ini section, the map picture Maps/Brackwater.png
# (drawn by make_map.py beside this script) and the vehicle icons in Presets/. Python 3 standard library only (PNG
# through zlib and struct); deterministic, so running it again rewrites the same bytes.
# Usage: examples/demo/make_demo.py [OUTPUT_FOLDER]
import math
import os
import struct
import sys
import zlib

# [SECTION] The map, in map units: 4000 x 4000, x to the east, y to the north

MAP_NAME = "Brackwater.map"  # the map line's name; the picture is named by the part before the first "."

# Kelo's transform: screen x = x * 400 / ScaleX + ScaleX / 2 - OffsetX, screen y = (y' + ScaleY / 2) * 400 / ScaleY
# - OffsetY + 25 with y' = -y under InvertY. These values put map (0, 0) at the lower left of the 400 x 400 map area
# and (4000, 4000) at its upper right. Headings are degrees counter-clockwise from east; the icons point north,
# hence the rotation offset of -90.
CALIBRATION = [("InvertY", "true"), ("InvertX", "false"), ("ScaleX", "4000"), ("ScaleY", "4000"),
               ("OffsetX", "2000"), ("OffsetY", "-200"), ("RotationOffset", "-90")]

# [SECTION] Vehicle icons: 32 x 32, pointing north, on opaque white

ICON_SIZE = 32
WHITE = (255, 255, 255, 255)


def icon(shapes):
    pixels = [WHITE] * (ICON_SIZE * ICON_SIZE)
    for kind, colour, box in shapes:  # ("rect", colour, (x0, y0, x1, y1)) or ("disc", colour, (cx, cy, r))
        for y in range(ICON_SIZE):
            for x in range(ICON_SIZE):
                inside = (box[0] <= x <= box[2] and box[1] <= y <= box[3] if kind == "rect"
                          else (x - box[0]) ** 2 + (y - box[1]) ** 2 <= box[2] * box[2])
                if inside:
                    pixels[y * ICON_SIZE + x] = colour
    return pixels


def tank_icon():
    track, hull, turret, barrel = (34, 36, 30, 255), (88, 102, 60, 255), (66, 80, 46, 255), (40, 44, 36, 255)
    return icon([("rect", track, (5, 7, 10, 29)), ("rect", track, (21, 7, 26, 29)),
                 ("rect", hull, (9, 9, 22, 27)), ("disc", turret, (16, 19, 6)),
                 ("rect", barrel, (15, 1, 17, 16))])


def truck_icon():
    wheel, cab, glass, bed = (30, 30, 30, 255), (70, 86, 110, 255), (150, 190, 210, 255), (176, 150, 100, 255)
    return icon([("rect", wheel, (7, 6, 24, 10)), ("rect", wheel, (7, 19, 24, 23)),
                 ("rect", wheel, (7, 25, 24, 28)), ("rect", cab, (10, 2, 21, 11)),
                 ("rect", glass, (11, 3, 20, 5)), ("rect", bed, (9, 13, 22, 30))])


# [SECTION] PNG writing


def png(width, height, pixels, alpha):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for colour in pixels[y * width:(y + 1) * width]:
            rows.extend(colour if alpha else colour[:3])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + chunk(b"IEND", b""))


# [SECTION] The game: units, their routes and what happens to them


class Unit:
    def __init__(self, uid, kind, cls, side, route, name=None, levels=(100.0, 30.0)):
        self.uid, self.kind, self.cls, self.side, self.name = uid, kind, cls, side, name
        self.route = route  # (log second, x, y) waypoints
        self.levels = list(levels)
        self.heading = 90.0

    def place(self, t):
        route = self.route
        if t <= route[0][0]:
            return route[0][1:]
        for (t0, x0, y0), (t1, x1, y1) in zip(route, route[1:]):
            if t <= t1:
                f = (t - t0) / float(t1 - t0)
                return x0 + (x1 - x0) * f, y0 + (y1 - y0) * f
        return route[-1][1:]


def walk(start, *legs):
    """A route from a start (t, x, y) through legs of (arrival second, x, y)."""
    return [start] + list(legs)


RED, YELLOW = 0, 1
# Player names are 8-bit text; "S\xf8lvi" is Latin-1, as the game wrote it.
SOLDIERS = [
    Unit(1, "SOLDIER", "Officer", RED, walk((0, 700, 1820), (20, 720, 1900), (120, 1720, 2010), (150, 1980, 2010)),
         "Marten"),
    Unit(2, "SOLDIER", "Rifleman", RED, walk((0, 760, 1790), (62, 2060, 1990), (70, 2110, 1985), (150, 2300, 1990)),
         "Oskar_V"),
    Unit(3, "SOLDIER", "Medic", RED, walk((0, 800, 1830), (62, 2060, 2040), (72, 2120, 2090)), "kestrel"),
    Unit(4, "SOLDIER", "Engineer", RED, walk((0, 840, 1800), (62, 2060, 2040), (74, 2090, 2150), (150, 2330, 2120)),
         "Tamsin"),
    Unit(5, "SOLDIER", "Sniper", RED, walk((0, 880, 1840), (55, 1840, 2560), (62, 1870, 2530)), "Hollis"),
    Unit(6, "SOLDIER", "Gunner", RED, walk((0, 650, 1860), (20, 700, 1960), (125, 1780, 2080), (150, 2010, 2080)),
         "Juniper"),
    Unit(7, "SOLDIER", "Officer", YELLOW, walk((0, 3020, 2250), (90, 2470, 2190), (140, 2480, 2200),
                                               (175, 2900, 2230)), "Vadim"),
    Unit(8, "SOLDIER", "Rifleman", YELLOW, walk((0, 3060, 2080), (90, 2430, 2090), (140, 2450, 2100),
                                                (175, 2880, 2120)), "Reyna"),
    Unit(9, "SOLDIER", "Gunner", YELLOW, walk((0, 3100, 2230), (88, 2400, 2250)), "Ptolemy"),
    Unit(10, "SOLDIER", "Sniper", YELLOW, walk((0, 2990, 2010), (40, 2450, 2100), (60, 2520, 2300),
                                               (175, 2700, 2350)), "S\xf8lvi"),
    Unit(11, "SOLDIER", "Rifleman", YELLOW, walk((0, 3140, 2110), (45, 2600, 1900), (70, 2350, 1980)), "Wren"),
    Unit(12, "SOLDIER", "Engineer", YELLOW, walk((0, 3160, 2090), (45, 2600, 1900), (75, 2380, 2130),
                                                 (140, 2400, 2120), (175, 2820, 2060)), "Castor"),
]
VEHICLES = [
    Unit(21, "VEHICLE", "LightTank", RED, walk((0, 650, 1950), (15, 660, 1990), (70, 1950, 2045), (110, 2000, 2040),
                                              (130, 2400, 2055), (160, 2560, 2090)), levels=(100.0, 40.0)),
    Unit(22, "VEHICLE", "SupplyTruck", RED, walk((0, 800, 1950), (8, 820, 2000), (60, 2050, 2040),
                                                (90, 2000, 2030), (150, 1300, 2075)), levels=(100.0, 80.0)),
    Unit(23, "VEHICLE", "ScoutCar", RED, walk((0, 900, 2150), (10, 1580, 2070), (30, 1650, 2500), (50, 1820, 2600)),
         levels=(100.0, 20.0)),
    Unit(24, "VEHICLE", "LightTank", YELLOW, walk((0, 3050, 2300), (70, 2600, 2200), (140, 2580, 2210)),
         levels=(100.0, 40.0)),
    Unit(25, "VEHICLE", "SupplyTruck", YELLOW, walk((0, 3150, 2020), (45, 2600, 1900), (60, 2620, 1900),
                                                   (120, 3000, 2120)), levels=(100.0, 80.0)),
    Unit(26, "VEHICLE", "ScoutCar", YELLOW, walk((0, 2990, 2010), (40, 2450, 2100), (128, 2460, 2100)),
         levels=(100.0, 20.0)),
]
UNITS = {unit.uid: unit for unit in SOLDIERS + VEHICLES}
# Buildings and map objects are modelled but never drawn.
BUILDINGS = [(41, "Bunker", 2400, 2160, RED), (42, "Depot", 650, 1740, RED), (43, "Lighthouse", 3330, 2700, -1)]
OBJECTS = [(51, "Crate", 2250, 2000), (52, "Barrier", 2190, 2060), (53, "Crate", 700, 1770)]

# (log second, soldier, vehicle): boarding and leaving vehicles.
ENTERS = [(4, 2, 22), (4, 3, 22), (5, 4, 22), (5, 5, 23), (6, 10, 26), (6, 11, 25), (7, 12, 25)]
EXITS = [(55, 5, 23), (42, 10, 26), (47, 11, 25), (47, 12, 25), (62, 2, 22), (62, 3, 22), (63, 4, 22)]
# (log second, victim, attacker, health lost); the attacker may be a vehicle.
DAMAGE = [(72, 2, 11, 25), (75, 11, 2, 30), (80, 3, 24, 45), (85, 9, 5, 55), (92, 9, 5, 45), (96, 3, 24, 55),
          (101, 12, 21, 20), (112, 11, 21, 40), (118, 11, 21, 30), (133, 7, 6, 35), (137, 1, 8, 15)]
KILLS = [(92, 9, 5), (96, 3, 24), (118, 11, 21)]
DESTROY = [(97, "SOLDIER", 9), (101, "SOLDIER", 3), (123, "SOLDIER", 11), (128, "VEHICLE", 26),
           (140, "OBJECT", 52), (141, "VEHICLE", 24)]
VEHICLE_HITS = [(128, 26, 100), (134, 24, 40), (139, 24, 60), (104, 21, 25)]
CHATS = [(2, "PUBLIC", 1, "gl hf"), (3, "PUBLIC", 8, "glhf, see you at the bridge"),
         (9, "TEAM", 4, "truck is rolling, three aboard"), (24, "TEAM", 7, "they come down the road, hold the bunker"),
         (58, "TEAM", 5, "in position on the north bank"), (71, "TEAM", 2, "contact east of the bridge!"),
         (44, "TEAM", 10, "out of the car, moving up the hill"), (88, "PUBLIC", 9, "who is on that hill?"),
         (94, "TEAM", 3, "medic down at the bridge"),
         (121, "TEAM", 12, "fall back to town"), (146, "TEAM", 4, "bridge is ours"), (158, "PUBLIC", 8, "gg"),
         (161, "PUBLIC", 1, "gg wp"), (166, "TEAM", 6, "nice push everyone")]
WIN_AT = 155
END_AT = 172


def number(value):
    return ("%.1f" % value).rstrip("0").rstrip(".")


def game_log():
    events = []  # (log second, order, line)

    def emit(t, line):
        events.append((t, len(events), line))

    emit(0, "1;" + MAP_NAME)
    emit(0, "CONFIG;20;Hold the Brackwater bridge")
    for uid, cls, x, y, side in BUILDINGS:
        emit(0, "CREATED;BUILDING;%d;%s;%s;%s;0;0;500;0;%d" % (uid, cls, number(y), number(x), side))
    for uid, cls, x, y in OBJECTS:
        emit(0, "CREATED;OBJECT;%d;%s;%s;%s;0" % (uid, cls, number(y), number(x)))
    for unit in SOLDIERS + VEHICLES:
        x, y = unit.place(1)
        tail = ";" + unit.name if unit.name else ""
        emit(1, "CREATED;%s;%d;%s;%s;%s;%s;90;%s;%s;%d%s" % (unit.kind, unit.uid, unit.cls, number(y), number(x),
                                                            "1.5" if unit.kind == "SOLDIER" else "2",
                                                            number(unit.levels[0]), number(unit.levels[1]), unit.side,
                                                            tail))
    for t, soldier, vehicle in ENTERS:
        emit(t, "ENTER;%d;%s;0;0;0;%d" % (vehicle, UNITS[vehicle].cls, soldier))
    for t, soldier, vehicle in EXITS:
        emit(t, "EXIT;%d;%s;0;0;0;%d" % (vehicle, UNITS[vehicle].cls, soldier))
    for t, kind, uid in DESTROY:
        emit(t, "DESTROYED;%s;%d" % (kind, uid))
    for t, channel, uid, text in CHATS:
        emit(t, "CHAT;%s;%d;%s" % (channel, uid, text))
    emit(WIN_AT, "WIN;%d" % RED)

    # Status changes that the next position report carries, by unit.
    changes = sorted([(t, victim, loss) for t, victim, _, loss in DAMAGE] + VEHICLE_HITS)
    gone_at = {uid: t for t, _, uid in DESTROY}
    for t, victim, _ in KILLS:  # the dead report no more positions
        gone_at[victim] = min(gone_at[victim], t + 1)
    for t, victim, attacker, _ in DAMAGE:
        x, y = UNITS[victim].place(t)
        emit(t, "DAMAGED;SOLDIER;%d;%s;%s;%s;1.5;0;%d" % (victim, UNITS[victim].cls, number(y), number(x), attacker))
    for t, victim, attacker in KILLS:
        emit(t, "KILLED;SOLDIER;%d;%d" % (victim, attacker))
    emit(128, "KILLED;VEHICLE;26;21")
    emit(140, "KILLED;VEHICLE;24;21")

    # Position reports: every unit every two seconds, half of them on odd seconds; riders report their vehicle's place.
    riding = {}
    boardings = sorted([(t, s, v) for t, s, v in ENTERS] + [(t, s, None) for t, s, _ in EXITS])
    for t in range(2, END_AT + 1):
        for when, soldier, vehicle in boardings:
            if when == t - 1:
                riding[soldier] = vehicle
        for when, uid, loss in changes:
            if when == t - 1:
                unit = UNITS[uid]
                unit.levels[0] = max(0.0, unit.levels[0] - loss)
                unit.levels[1] = max(0.0, unit.levels[1] - 3)
        for unit in SOLDIERS + VEHICLES:
            if (unit.uid + t) % 2 or gone_at.get(unit.uid, END_AT + 1) <= t:
                continue
            carrier = riding.get(unit.uid)
            x, y = (UNITS[carrier] if carrier else unit).place(t)
            px, py = (UNITS[carrier] if carrier else unit).place(t - 2)
            if math.hypot(x - px, y - py) > 1:
                unit.heading = math.degrees(math.atan2(y - py, x - px))
            emit(t, "POS;%s;%d;%s;%s;%s;%s;%s;%s;%s" % (unit.kind, unit.uid, unit.cls, number(y), number(x),
                                                       "1.5" if unit.kind == "SOLDIER" else "2", number(unit.heading),
                                                       number(unit.levels[0]), number(unit.levels[1])))
    start = 20 * 3600 + 14 * 60 + 5
    lines = []
    for t, _, line in sorted(events):
        stamp_value = start + t
        lines.append("[%d:%02d:%02d] %s" % (stamp_value // 3600, stamp_value // 60 % 60, stamp_value % 60, line))
    return "\n".join(lines) + "\n"


# [SECTION] Writing the files


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write(os.path.join(folder, "demo.log"), game_log().encode("latin-1"))
    ini = "; Calibration of each map: a section named by the map name.\n[%s]\n" % MAP_NAME
    ini += "".join("%s=%s\n" % pair for pair in CALIBRATION)
    write(os.path.join(folder, "Kelo.ini"), ini.encode("ascii"))
    write(os.path.join(folder, "Presets", "LightTank.png"), png(ICON_SIZE, ICON_SIZE, tank_icon(), True))
    write(os.path.join(folder, "Presets", "SupplyTruck.png"), png(ICON_SIZE, ICON_SIZE, truck_icon(), True))
    base = MAP_NAME.split(".")[0]
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import make_map
    write(os.path.join(folder, "Maps", base + ".png"), make_map.map_png())


if __name__ == "__main__":
    main()
