# The buttons along one row of the control band, given as raw 8-bit RGB on standard input: each button (black strip,
# then face) is one run of pixels that are not the band's colour. Prints the middle of each run, left to right:
# "Open", "<<", "Play", "Pause", ">>", "Bars". Shared by the end-to-end scripts of the viewers and of kelo-render.
import sys

band = (0, 0, 100)
row = sys.stdin.buffer.read()
pixels = [tuple(row[i:i + 3]) for i in range(0, len(row), 3)] + [band]
runs, start = [], None
for x, pixel in enumerate(pixels):
    if pixel != band and start is None:
        start = x
    elif pixel == band and start is not None:
        runs.append((start + x - 1) // 2)
        start = None
print(" ".join(map(str, runs)))
