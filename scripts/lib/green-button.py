"""Prints "x y" of a point inside the green bar, at least 150 pixels wide, of
a screenshot (a binary PPM on standard input): RVK Report's "read the
report" button, the only such area of its main window. Exits 1 when there is
none.

    convert shot.png ppm:- | python3 scripts/lib/green-button.py
"""
import re
import sys

data = sys.stdin.buffer.read()
# The header's four fields, then exactly one whitespace byte: the pixels may
# start with bytes that read as whitespace.
header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
w, h = int(header.group(1)), int(header.group(2))
pix = data[header.end():]
rows = []
for y in range(h):
    row = pix[y * w * 3:(y + 1) * w * 3]
    run = 0
    for x in range(w + 1):
        green = x < w and row[3 * x + 1] > 90 and row[3 * x + 1] > row[3 * x] + 40 and row[3 * x + 1] > row[3 * x + 2] + 40
        if green:
            run += 1
            continue
        if run >= 150:
            rows.append((y, x - run, x))
        run = 0
if not rows:
    sys.exit(1)
# A few rows below the top edge: above the caption, whose letters break the run.
y, left, right = rows[min(3, len(rows) - 1)]
print((left + right) // 2, y)
