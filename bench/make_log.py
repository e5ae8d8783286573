#!/usr/bin/env python3
"""Writes a replay log of about SIZE bytes for bench/run: the map, 400 soldiers and 100 vehicles, then position
reports for all of them in turn, a log second for every 500 lines, with a damage line every 997th report and a chat
line every 1,999th. The reports repeat with a period of 100,000 lines; the stamps keep going.
Usage: bench/make_log.py SIZE_BYTES PATH"""
import sys

SOLDIERS = 400
VEHICLES = 100
PERIOD = 100000
LINES_A_SECOND = 500


def stamp(second):
    second += 8 * 3600
    return "[%02d:%02d:%02d] " % (second // 3600 % 24, second // 60 % 60, second % 60)


def report(n):
    unit = n % (SOLDIERS + VEHICLES)
    y = "%d.%d" % (1000 + (n * 7) % 2000, n % 10)
    x = "%d.5" % (900 + (n * 13) % 2500)
    if n % 997 == 0:
        return "DAMAGED;SOLDIER;%d;Rifleman;%s;%s;1.5;0;%d\n" % (unit % SOLDIERS + 1, y, x, (unit + 7) % SOLDIERS + 1)
    if n % 1999 == 0:
        return "CHAT;PUBLIC;%d;holding position\n" % (unit % SOLDIERS + 1)
    if unit < SOLDIERS:
        return "POS;SOLDIER;%d;Rifleman;%s;%s;1.5;%d;95.5;30\n" % (unit + 1, y, x, n % 360)
    return "POS;VEHICLE;%d;LightTank;%s;%s;0;%d;180;0\n" % (1000 + unit - SOLDIERS + 1, y, x, n % 360)


def main():
    size, path = int(sys.argv[1]), sys.argv[2]
    opening = ["1;Brackwater.map\n"]
    opening += ["CREATED;SOLDIER;%d;Rifleman;%d;%d;1.5;0;100;30;%d;Player %d\n" % (i, 100 + i * 9, 300 + i * 7, i % 2, i)
                for i in range(1, SOLDIERS + 1)]
    opening += ["CREATED;VEHICLE;%d;LightTank;%d;%d;0;90;200;0;%d\n" % (1000 + i, 200 + i * 30, 400 + i * 20, i % 2)
                for i in range(1, VEHICLES + 1)]
    reports = [report(n) for n in range(PERIOD)]
    written = 0
    second = 0
    with open(path, "w", encoding="ascii", newline="\n") as out:
        block = "".join(stamp(0) + line for line in opening)
        out.write(block)
        written += len(block)
        at = 0
        while written < size:
            second += 1
            prefix = stamp(second)
            block = "".join(prefix + line for line in reports[at:at + LINES_A_SECOND])
            at = (at + LINES_A_SECOND) % PERIOD
            out.write(block)
            written += len(block)


if __name__ == "__main__":
    main()
