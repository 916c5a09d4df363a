"""Finds RVK Report's ENG language action in a picture of its main window
(a binary PPM on standard input, as `import -window <id>` takes it: the
window's own pixels, Wine's frame included) and prints "x y" of a point on
its text, relative to the window, for `xdotool mousemove --window <id>`.
Exits 1, saying why, when it cannot.

    import -window "$id" ppm:- | python3 scripts/lib/wine-window.py

Nothing here counts pixels from other controls: the fonts decide the
window's height and the width of every text button, and they differ from
machine to machine. What holds whatever the fonts is the tool bar's
layout: it lies right to left in the client area's first row, so outside
service mode its rightmost action is the information one, whose icon (a
blue disc, drawn at the tool bar's fixed icon size) is the first such
shape from the top in the window's right half, and ENG is the text right
beside it.
"""
import re
import sys


def fail(why):
    print("wine-window: " + why, file=sys.stderr)
    sys.exit(1)


def read_ppm(data):
    # The header's four fields, then exactly one whitespace byte: the pixels
    # may start with bytes that read as whitespace.
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not header or header.group(3) != b"255":
        fail("standard input is not an 8-bit binary PPM")
    return int(header.group(1)), int(header.group(2)), data[header.end():]


def main():
    if len(sys.argv) != 1:
        fail("usage: wine-window.py < window.ppm")
    w, h, pix = read_ppm(sys.stdin.buffer.read())
    if w < 50 or h < 50:
        fail(f"a window of {w}x{h} has no room for a tool bar")

    def rgb(x, y):
        i = 3 * (y * w + x)
        return pix[i], pix[i + 1], pix[i + 2]

    def icon_blue(x, y):
        r, g, b = rgb(x, y)
        return b > 150 and b - r > 90 and b - g > 45

    # The tool bar is in the top half whatever the window's height; its
    # icon in the right half, while the caption's own icon is at the left.
    half_x, half_y = w // 2, h // 2
    seen = set()
    shapes = []
    for y in range(half_y):
        for x in range(half_x, w):
            if (x, y) in seen or not icon_blue(x, y):
                continue
            stack, box = [(x, y)], [x, y, x, y]
            seen.add((x, y))
            while stack:
                px, py = stack.pop()
                box = [min(box[0], px), min(box[1], py), max(box[2], px), max(box[3], py)]
                for nx, ny in ((px + 1, py), (px - 1, py), (px, py + 1), (px, py - 1)):
                    if half_x <= nx < w and 0 <= ny < half_y and (nx, ny) not in seen and icon_blue(nx, ny):
                        seen.add((nx, ny))
                        stack.append((nx, ny))
            shapes.append(box)
    # A caption drawn in blue is one wide band, which no icon is.
    icons = [box for box in shapes
             if 10 <= box[3] - box[1] + 1 <= 80 and 0.6 <= (box[2] - box[0] + 1) / (box[3] - box[1] + 1) <= 1.6]
    if not icons:
        fail(f"no tool-bar icon in the top right of the {w}x{h} window")
    icon_left, icon_top, _, icon_bottom = min(icons, key=lambda box: box[1])

    # Ink: text darker than the tool bar behind it, which fills most of the
    # icon's row band across the window.
    band = range(icon_top, icon_bottom + 1)
    backdrop = {}
    for y in band:
        lums = sorted(sum(rgb(x, y)) // 3 for x in range(w))
        backdrop[y] = lums[len(lums) // 2]

    def ink_rows(x):
        return [y for y in band if sum(rgb(x, y)) // 3 < backdrop[y] - 60]

    # Going left from the icon: its smoothed rim, which is not blue enough to
    # be counted in it, the gap to the ENG button, then its letters. The
    # word ends at a gap wider than its letters are apart; a smaller
    # tolerance only splits it, and any part of it is on the button.
    x = icon_left - 1
    while x >= 0 and ink_rows(x):
        x -= 1
    while x >= 0 and not ink_rows(x):
        x -= 1
    if x < 0:
        fail("no text left of the tool-bar icon")
    word_right = x
    rows = []
    word_left = x
    gap = 0
    while x >= 0:
        found = ink_rows(x)
        if found:
            rows += found
            word_left = x
            gap = 0
        else:
            gap += 1
            if gap > max(3, (max(rows) - min(rows) + 1) // 3):
                break
        x -= 1
    print((word_left + word_right) // 2, (min(rows) + max(rows)) // 2)


main()
