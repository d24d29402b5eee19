"""The pad on a 144 DPI screen (150 %), in a Wine prefix of its own whose LogPixels is 144.

The program declares itself DPI aware, so the system gives it the real menu-bar height and
screen resolution: the pad's cells follow the larger menu bar and its font is 8 points at
144 pixels per inch, a character height of 16 pixels. The scenario runs the program, the
probe and a harness of its own in that prefix, on the main run's X display, and ends that
prefix's processes afterwards; the main run's prefix and programs are left as they were.
"""

import os
import subprocess
import sys
import time

DPI = 144
LOG_PIXELS_REG = """REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:%08x
""" % DPI


def start_prefix(winenv, prefix, arch, loader):
    """A prefix made like the main one (virtual desktop, crashes to the log) with LogPixels
    144. Wine reads the resolution when its processes start, so the prefix's processes are
    started again after the setting is written."""
    prepare = 'source "%s"; kwix_prepare_prefix "%s" %s' % (winenv, prefix, arch)
    server = os.path.join(os.path.dirname(loader), "wineserver")
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, "timeout": 600}
    subprocess.run(["bash", "-c", prepare], check=True, **quiet)
    # Written only now: making the prefix starts from an empty folder.
    reg = os.path.join(prefix, "kwix-dpi.reg")
    with open(reg, "w", newline="\r\n") as f:
        f.write(LOG_PIXELS_REG)
    subprocess.run([loader, "regedit", reg], check=True, **quiet)
    subprocess.run([server, "-k"], **quiet)
    subprocess.run([server, "-w"], **quiet)
    subprocess.run(["bash", "-c", prepare], check=True, **quiet)


def scenario_high_dpi(h):
    """At 144 DPI the pad's size follows the larger menu bar and its font is 16 pixels high."""
    m = sys.modules[type(h).__module__]  # the harness module as it runs, for its classes
    winenv = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib", "winenv.sh")
    arch = "x86_64" if h.loader.endswith("64") else "i686"
    prefix = os.environ["WINEPREFIX"].rstrip("/") + "-%ddpi" % DPI
    server = os.path.join(os.path.dirname(h.loader), "wineserver")
    saved = os.environ["WINEPREFIX"]
    os.environ["WINEPREFIX"] = prefix  # for every Wine process started from here on
    inner = None
    try:
        start_prefix(winenv, prefix, arch, h.loader)
        inner = high_dpi_harness(m, h)
        inner.probe.start()
        screen = inner.probe.ask("screen")
        print("  %d dpi prefix: SM_CYMENU %d (%d at 96 dpi), the screen reports %d dpi"
              % (DPI, screen["cymenu"], h.row, screen["dpi"]))
        m.check(screen["dpi"] == DPI, "the prefix runs at %d dpi, not %d" % (screen["dpi"], DPI))
        m.check(screen["cymenu"] > h.row, "the menu bar is %d pixels at %d dpi, no higher than %d at 96 dpi"
                % (screen["cymenu"], DPI, h.row))
        inner.row = screen["cymenu"]
        inner.col = m.mul_div(inner.row, 4, 3)
        inner.find_offset()

        inner.start_kwix()
        rect = inner.show_pad()
        want = inner.expected_rect(*m.SHOW_AT)
        print("  pad %s, expected %s (cells %dx%d)" % (rect, want, inner.col, inner.row))
        m.check((rect.width, rect.height) == (want.width, want.height),
                "pad size %dx%d at %d dpi, expected %dx%d from a menu bar of %d pixels"
                % (rect.width, rect.height, DPI, want.width, want.height, inner.row))
        m.check(abs(rect.left - want.left) <= 1 and abs(rect.top - want.top) <= 1,
                "pad at %s, expected %s" % (rect, want))
        inner.move(*m.PARK_AT)
        inner.screenshot("keypad")
        # The probe draws the calc edit's "0" in bold Verdana of -MulDiv(8, 144, 72) = -16
        # pixels; the pad's must match it pixel for pixel, which an 11-pixel font does not.
        inner.click(*inner.key_point(rect, "5"), button=2)
        inner.wait_for(lambda: inner.pad_rect().width == rect.width + inner.col, 3, "calculator mode")
        inner.move(*m.PARK_AT)
        inner.expect_calc_edit("0", "calc-mode-16px-font")
        inner.hide_pad()
        code = inner.stop_kwix()
        m.check(code == 0, "the program ended with code %s" % code)
    finally:
        if inner:
            inner.close()
        subprocess.run([server, "-k"], stderr=subprocess.DEVNULL)
        os.environ["WINEPREFIX"] = saved


def high_dpi_harness(m, outer):
    """A harness like the main run's, for the prefix now in the environment."""

    class HighDpiHarness(m.Harness):
        def __init__(self):
            args = type("Args", (), {})()
            args.loader, args.kwix, args.target = outer.loader, outer.kwix_exe, outer.target_exe
            args.probe, args.artifacts = outer.probe.exe, outer.art
            super().__init__(args)
            self.scenario = outer.scenario
            self.shot_no = outer.shot_no

        def screenshot(self, step):
            shot = super().screenshot(step)
            outer.shot_no = self.shot_no
            return shot

        def circle(self, cx, cy, radius=110, **kw):
            # The larger pad would reach into a circle of the usual size.
            return super().circle(cx, cy, radius=radius, **kw)

        def find_offset(self):
            offsets = set()
            for x, y in ((300, 200), (700, 500)):
                m.xdo("mousemove", x, y)
                time.sleep(0.05)
                c = self.probe.ask("cursor")
                offsets.add((x - c["x"], y - c["y"]))
            m.check(len(offsets) == 1, "X and Win32 coordinates are not a plain translation: %s" % offsets)
            self.offset = offsets.pop()

    return HighDpiHarness()
