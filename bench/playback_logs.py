#!/usr/bin/env python3
"""Writes the logs that bench/playback_speed plays.
  dense SECONDS PATH   the map Brackwater, 200 soldiers created at the first stamp, then a position report from
                       every soldier every log second (200 lines a second) for SECONDS log seconds; each soldier
                       walks a small circle, so all of them glide all the time
  cut LOG SECONDS PATH the lines of LOG up to SECONDS log seconds after its first line
  length LOG           prints how many log seconds LOG spans, from its first line to its last
Standard library only; the stamps come from bench/make_log.py."""
import math
import sys

from make_log import stamp

SOLDIERS = 200


def dense(seconds, path):
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write(stamp(0) + "1;Brackwater.map\n")
        for i in range(SOLDIERS):
            y, x = position(i, 0)
            out.write(stamp(0) + "CREATED;SOLDIER;%d;Rifleman;%.1f;%.1f;1.5;0;100;30;%d;Player %d\n"
                      % (i + 1, y, x, i % 2, i + 1))
        for second in range(1, seconds + 1):
            prefix = stamp(second)
            out.write("".join(prefix + "POS;SOLDIER;%d;Rifleman;%.1f;%.1f;1.5;0;100;30\n"
                              % ((i + 1,) + position(i, second)) for i in range(SOLDIERS)))


def position(soldier, second):
    """(y, x): a grid of 20 x 10 places over the middle of the map, each walked round in 12 seconds."""
    angle = (second + soldier) * math.pi / 6
    return (1000 + soldier // 20 * 250 + 60 * math.sin(angle), 700 + soldier % 20 * 130 + 60 * math.cos(angle))


def seconds_of(line):
    """The line's stamp in seconds, or None when it has none (read as the viewer reads "[h:m:s]")."""
    if not line.startswith("["):
        return None
    try:
        hours, minutes, secs = (int(part) for part in line[1:line.index("]")].split(":"))
    except ValueError:
        return None
    return hours * 3600 + minutes * 60 + secs


def offsets(log):
    """Each line of LOG with its log time after the first line (None for a line without a stamp); stamps are read
    on a 12-hour clock, as the viewer reads them."""
    first = None
    with open(log, "rb") as source:
        for raw in source:
            t = seconds_of(raw.decode("latin-1"))
            if t is not None and first is None:
                first = t
            yield raw, None if t is None else (t - first) % 43200


def cut(log, seconds, path):
    with open(path, "wb") as out:
        for raw, offset in offsets(log):
            if offset is not None and offset > seconds:
                break
            out.write(raw)


def length(log):
    print(max((offset for _, offset in offsets(log) if offset is not None), default=0))


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "dense":
        dense(int(sys.argv[2]), sys.argv[3])
    elif len(sys.argv) == 5 and sys.argv[1] == "cut":
        cut(sys.argv[2], float(sys.argv[3]), sys.argv[4])
    elif len(sys.argv) == 3 and sys.argv[1] == "length":
        length(sys.argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
