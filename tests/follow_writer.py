#!/usr/bin/env python3
"""Writes a short generated game into a replay log at a steady pace, as a game writes its log while it runs, for
the end-to-end test of following (tests/e2e_follow.sh). Some lines are flushed in two writes, half a line first.

    follow_writer.py game SEED SECONDS           print the game's lines
    follow_writer.py write LOG SEED SECONDS MODE  write it to LOG: MODE grow (append to a new file), truncate (a
                                                  first game cut off and rewritten), rename (replaced by a file
                                                  renamed over it) or recreate (deleted and made again)
"""
import os
import random
import sys
import time

PACE_S = 0.08  # real seconds a log second of the game takes to write
PAUSE_S = 0.7  # between the first game and the second: longer than two looks at the file


def game(seed, seconds):
    rng = random.Random(seed)
    lines = ["[10:00:00] 1;Brackwater.map", "[10:00:00] CONFIG;5;Live game %d" % seed]
    units = {}
    for uid in range(1, 7):
        units[uid] = [rng.uniform(500, 3500), rng.uniform(500, 3500)]
        lines.append("[10:00:00] CREATED;SOLDIER;%d;Rifleman;%.1f;%.1f;1.5;90;100;30;%d;P%d"
                     % (uid, units[uid][0], units[uid][1], uid % 2, uid))
    for second in range(1, seconds + 1):
        stamp = "[10:%02d:%02d]" % (second // 60, second % 60)
        for uid, at in units.items():
            at[0] += rng.uniform(-40, 40)
            at[1] += rng.uniform(-40, 40)
            lines.append("%s POS;SOLDIER;%d;Rifleman;%.1f;%.1f;1.5;%.1f;100;30"
                         % (stamp, uid, at[0], at[1], rng.uniform(0, 360)))
        lines.append("%s CHAT;PUBLIC;%d;game %d second %d" % (stamp, 1 + second % 6, seed, second))
    return [line + "\n" for line in lines]


def write_lines(path, lines, mode="a"):
    """Appends the lines at the pace, a log second at a time; every fifth line in two flushed halves."""
    with open(path, mode, newline="") as log:
        last_stamp = None
        for number, line in enumerate(lines):
            stamp = line.split(" ", 1)[0]
            if last_stamp is not None and stamp != last_stamp:
                time.sleep(PACE_S)
            last_stamp = stamp
            if number % 5 == 4:
                half = len(line) // 2
                log.write(line[:half])
                log.flush()
                time.sleep(0.02)
                line = line[half:]
            log.write(line)
            log.flush()


def main():
    if sys.argv[1] == "game":
        sys.stdout.write("".join(game(int(sys.argv[2]), int(sys.argv[3]))))
        return
    path, seed, seconds, mode = sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
    final = game(seed, seconds)
    if mode == "grow":
        write_lines(path, final)
        return
    # A first game, cut off half way, that the final one replaces.
    first = game(seed + 1000, seconds)
    write_lines(path, first[: len(first) // 2])
    time.sleep(PAUSE_S)
    if mode == "truncate":
        open(path, "w").close()
        time.sleep(PAUSE_S)
        write_lines(path, final)
    elif mode == "rename":
        write_lines(path + ".new", final, "w")
        os.replace(path + ".new", path)
    elif mode == "recreate":
        os.remove(path)
        time.sleep(PAUSE_S)
        write_lines(path, final)


if __name__ == "__main__":
    main()
