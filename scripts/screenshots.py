#!/usr/bin/env python3
"""Screenshots of the real pad for the README, taken under Wine in Xvfb: keypad mode,
calculator mode, and the colour scheme of docs/colour-scheme.ini. Each is the pad with a
little of what lies behind it, cut from a screenshot of the X display.

Drives the program with the end-to-end harness (tests/e2e/e2e.py) beside its helper
program, the application the pad types into; screenshots.sh prepares the display and the
Wine prefix.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time

ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
for name in ("loader", "kwix", "helper", "artifacts", "out", "scheme"):
    ap.add_argument("--" + name, required=True)
args = ap.parse_args()
os.makedirs(args.artifacts, exist_ok=True)
# The harness takes its paths from the command line.
sys.argv[1:] = [args.loader, args.kwix, args.helper, args.artifacts]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e  # noqa: E402

# Over the right end of the target EDIT, so that the see-through surround and the
# half-transparent pad show what they cover.
SHOW_AT = (440, 85)
AROUND = 24


def crop(h, name):
    """The pad and AROUND pixels around it, from a screenshot of the X display."""
    s = h.state()
    _, left, top = h.at(s.left - AROUND, s.top - AROUND)
    path = os.path.join(args.out, name)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (s.width + 2 * AROUND, s.height + 2 * AROUND,
                    left, top), "+repage", path], check=True, timeout=30)
    print("wrote %s (%dx%d)" % (path, s.width + 2 * AROUND, s.height + 2 * AROUND))


def hover(h, key):
    """One key under the pointer, in its hover colours."""
    e2e.xdo(*h.key(key))
    time.sleep(0.3)


def main():
    h = e2e.Wine(os.environ["WINEPREFIX"])
    try:
        h.baseline()
        h.ask("set Total 12.5")
        s = h.toggle(SHOW_AT, True)
        hover(h, "8")
        crop(h, "pad-keypad.png")

        h.click("=")  # grabs 12.5 from the target: calculator mode
        e2e.wait(h.state, lambda q: q.width == s.width + h.col, "calculator mode")
        h.click("*2=")
        h.expect("Total 25", (6, 8), "the result pasted")
        time.sleep(0.3)
        crop(h, "pad-calculator.png")

        h.baseline()  # hides the pad, removes kwix.ini
        shutil.copyfile(args.scheme, e2e.INI)
        h.toggle(SHOW_AT, True)
        hover(h, "8")
        crop(h, "pad-colours.png")
    finally:
        if os.path.exists(e2e.INI):
            os.remove(e2e.INI)
        for p in (h.kwix, h.helper):
            if p and p.poll() is None:
                p.kill()


if __name__ == "__main__":
    main()
