#!/usr/bin/env python3
"""Screenshots of the real pad for the README, taken under Wine in Xvfb: keypad mode,
calculator mode, and the colour scheme of docs/colour-scheme.ini. Each is the pad with a
little of what lies behind it, cut from a screenshot of the X display.

Runs the end-to-end harness (tests/e2e/e2e.py) with the program, its target application
and the probe; screenshots.sh prepares the display and the Wine prefix.
"""

import argparse
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e  # noqa: E402

# Over the right end of the target window, so that the see-through surround and the
# half-transparent pad show what they cover.
SHOW_AT = (420, 170)
AROUND = 24


def crop(shot, rect, offset, path):
    left, top = rect.left - AROUND + offset[0], rect.top - AROUND + offset[1]
    width, height = rect.width + 2 * AROUND, rect.height + 2 * AROUND
    rgb = bytearray()
    for y in range(top, top + height):
        for x in range(left, left + width):
            rgb += bytes(shot.pixel(x, y) or (0, 0, 0))
    e2e.Shot(width, height, rgb).save(path)
    print("wrote %s (%dx%d)" % (path, width, height))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("loader", "kwix", "target", "probe", "artifacts", "out", "scheme"):
        ap.add_argument("--" + name, required=True)
    args = ap.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    h = e2e.Harness(args)
    ini = os.path.splitext(args.kwix)[0] + ".ini"
    try:
        e2e.scenario_harness(h)  # coordinates, the target with the focus, NumLock
        h.baseline()
        h.set_edit("Total 12.5")

        rect = h.show_pad(SHOW_AT)
        h.move(*h.key_point(rect, "8"))  # one key under the pointer, in its hover colours
        e2e.time.sleep(0.3)
        crop(h.display.grab(), rect, h.offset, os.path.join(args.out, "pad-keypad.png"))

        h.press_key("=", rect=rect)  # grabs 12.5 from the target: calculator mode
        h.wait_for(lambda: h.pad_rect().width == rect.width + h.col, 3, "calculator mode")
        rect = h.pad_rect()
        for key in "*2":
            h.press_key(key, calc=True, rect=rect)
        h.press_key("=", calc=True, rect=rect)
        h.expect_edit("Total 25", (6, 8), "the result pasted")
        h.move(*e2e.PARK_AT)
        e2e.time.sleep(0.3)
        crop(h.display.grab(), rect, h.offset, os.path.join(args.out, "pad-calculator.png"))
        h.hide_pad()

        shutil.copyfile(args.scheme, ini)
        h.set_edit("")
        rect = h.show_pad(SHOW_AT)
        h.move(*h.key_point(rect, "8"))
        e2e.time.sleep(0.3)
        crop(h.display.grab(), rect, h.offset, os.path.join(args.out, "pad-colours.png"))
        h.hide_pad()
    finally:
        if os.path.exists(ini):
            os.remove(ini)
        h.close()


if __name__ == "__main__":
    main()
