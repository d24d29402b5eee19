#!/usr/bin/env python3
"""End-to-end scenarios: the real kwix.exe under Wine, driven through X like a user.

run.sh prepares the display and the Wine prefix, then runs this file. The pointer is
moved and clicked with xdotool; what X cannot tell (the pad window's styles, who has the
focus, the target EDIT's text and selection, the clipboard) comes from kwix_probe, one
long-running Wine process answering JSON lines; pixels come straight from the X server.

Every scenario starts from the same state (program running, pad hidden, target in front
with an empty EDIT) and ends with PASS or FAIL on its own line; the last line counts them.
"""

import argparse
import ctypes
import ctypes.util
import json
import math
import os
import re
import select
import struct
import subprocess
import sys
import time
import zlib

from e2e_hidpi import scenario_high_dpi

# Pad geometry with the default settings; RowHeight comes from the system at run time.
MARGIN = 5
BTN_MARGIN = 1
CALC_EDIT_BOTTOM_MARGIN = 3
CALC_EDIT_CORNER_X = 5
MASK_COLOR = (255, 0, 255)
LAYERED_STYLE = 0x08080008  # WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_NOACTIVATE
WS_POPUP = 0x80000000
WS_VISIBLE = 0x10000000

KEYPAD_KEYS = {"7": (0, 1), "8": (1, 1), "9": (2, 1),
               "4": (0, 2), "5": (1, 2), "6": (2, 2),
               "1": (0, 3), "2": (1, 3), "3": (2, 3),
               "0": (0, 4), ".": (1, 4), "=": (2, 4)}
CALC_KEYS = dict(KEYPAD_KEYS, **{"/": (3, 1), "*": (3, 2), "-": (3, 3), "+": (3, 4)})

# Where the tests summon the pad: far from the target window in the top left corner.
SHOW_AT = (620, 440)
HIDE_AT = (300, 520)
PARK_AT = (960, 720)
# Wide enough that a circle stays off the pad it shows (its corners lie 68 pixels out).
CIRCLE_RADIUS = 80


def mul_div(a, b, c):
    """Win32 MulDiv: the product over the divisor, halves rounded away from zero."""
    q = abs(a * b) * 2 + abs(c)
    q //= 2 * abs(c)
    return q if (a * b >= 0) == (c > 0) else -q


class Fail(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Fail(message)


# ---------------------------------------------------------------------------- X side

class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong),
                ("blue_mask", ctypes.c_ulong)]


class Shot:
    """One screenshot as RGB bytes, in X coordinates."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def box(self, left, top, right, bottom):
        """The pixels of a rectangle (right and bottom exclusive), row by row."""
        return [[self.pixel(x, y) for x in range(left, right)] for y in range(top, bottom)]

    def save(self, path):
        stride = self.width * 3
        raw = b"".join(b"\x00" + bytes(self.rgb[y * stride:(y + 1) * stride]) for y in range(self.height))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(raw, 3)))
            f.write(chunk(b"IEND", b""))


class Display:
    """Screenshots through libX11 (tens of milliseconds, where ImageMagick takes most of a
    second), with ImageMagick's import as the fallback."""

    def __init__(self):
        self.lib = None
        self.dpy = None
        name = ctypes.util.find_library("X11")
        if name:
            try:
                lib = ctypes.CDLL(name)
                lib.XOpenDisplay.restype = ctypes.c_void_p
                lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
                lib.XDefaultRootWindow.restype = ctypes.c_ulong
                lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
                lib.XGetImage.restype = ctypes.POINTER(XImage)
                lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
                lib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
                lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
                dpy = lib.XOpenDisplay(None)
                if dpy:
                    self.lib, self.dpy = lib, dpy
                    self.root = lib.XDefaultRootWindow(dpy)
            except (OSError, AttributeError):
                self.lib = None
        self.xtst = None
        name = ctypes.util.find_library("Xtst")
        if self.dpy and name:
            try:
                self.xtst = ctypes.CDLL(name)
                self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                           ctypes.c_ulong]
                self.lib.XFlush.argtypes = [ctypes.c_void_p]
            except (OSError, AttributeError):
                self.xtst = None

    def button(self, button, down):
        """Presses or releases a button at the pointer's position at once: an xdotool
        process takes a good part of a second to start on a busy machine, too long for
        timing what a click sets off."""
        if not self.xtst:
            xdo("mousedown" if down else "mouseup", button)
            return
        self.xtst.XTestFakeButtonEvent(self.dpy, button, 1 if down else 0, 0)
        self.lib.XFlush(self.dpy)

    def click_now(self, button=1):
        self.button(button, True)
        self.button(button, False)

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def grab(self, width=1024, height=768):
        if self.dpy:
            img = self.lib.XGetImage(self.dpy, self.root, 0, 0, width, height, 0xFFFFFFFF, 2)
            if img:
                try:
                    im = img.contents
                    if im.bits_per_pixel == 32 and im.red_mask == 0xFF0000 and im.blue_mask == 0xFF:
                        raw = ctypes.string_at(im.data, im.bytes_per_line * im.height)
                        rgb = bytearray(im.width * im.height * 3)
                        if im.bytes_per_line != im.width * 4:
                            raw = b"".join(raw[y * im.bytes_per_line:y * im.bytes_per_line + im.width * 4]
                                           for y in range(im.height))
                        rgb[0::3] = raw[2::4]
                        rgb[1::3] = raw[1::4]
                        rgb[2::3] = raw[0::4]
                        return Shot(im.width, im.height, rgb)
                finally:
                    self.lib.XDestroyImage(img)
        out = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                             stdout=subprocess.PIPE, check=True).stdout
        parts = out.split(maxsplit=4)
        w, h = int(parts[1]), int(parts[2])
        return Shot(w, h, bytearray(parts[4][:w * h * 3]))


def numlock_on():
    out = subprocess.run(["xset", "q"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
    return re.search(r"Num Lock:\s+on", out) is not None


def switch_numlock_on():
    """Injected VK_NUMPADn keys type digits only while NumLock is on, and Wine takes the
    lock state from X. Only while some client holds the display open (here the Wine
    desktop): when the last one leaves, Xvfb resets and forgets the lock."""
    for _ in range(10):
        if numlock_on():
            return
        xdo("key", "Num_Lock")
        time.sleep(0.1)
    raise Fail("cannot switch NumLock on in X")


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# ---------------------------------------------------------------------------- Wine side

class Probe:
    """kwix_probe in serve mode: one command line in, one JSON line out."""

    def __init__(self, loader, exe):
        self.loader, self.exe = loader, exe
        self.proc = None
        self.buf = b""

    def start(self):
        self.stop()
        self.proc = subprocess.Popen([self.loader, self.exe, "serve"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buf = b""
        self.ask("ping", timeout=30)

    def stop(self):
        if self.proc:
            try:
                self.proc.stdin.close()
                self.proc.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()
            self.proc = None

    def ask(self, line, timeout=10):
        self.send(line)
        return self.receive(line, timeout)

    def send(self, line):
        if not self.proc or self.proc.poll() is not None:
            raise Fail("the probe is not running")
        self.proc.stdin.write((line + "\n").encode("utf-8"))
        self.proc.stdin.flush()

    def receive(self, line, timeout=10):
        deadline = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while b"\n" not in self.buf:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                self.proc.kill()
                raise Fail("the probe did not answer " + line.split(" ")[0])
            data = os.read(fd, 65536)
            if not data:
                raise Fail("the probe ended")
            self.buf += data
        answer, self.buf = self.buf.split(b"\n", 1)
        return json.loads(answer.decode("utf-8"))


class Rect:
    def __init__(self, left, top, right, bottom):
        self.left, self.top, self.right, self.bottom = left, top, right, bottom

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    def __eq__(self, other):
        return (self.left, self.top, self.right, self.bottom) == (other.left, other.top, other.right, other.bottom)

    def __repr__(self):
        return "(%d,%d %dx%d)" % (self.left, self.top, self.width, self.height)


class Harness:
    def __init__(self, args):
        self.loader = args.loader
        self.kwix_exe = args.kwix
        self.target_exe = args.target
        self.art = args.artifacts
        self.log = open(os.path.join(self.art, "wine.log"), "ab")
        self.display = Display()
        self.probe = Probe(args.loader, args.probe)
        self.kwix = None
        self.target = None
        self.shot_no = 0
        self.scenario = "setup"
        self.offset = (0, 0)  # X coordinates minus Win32 screen coordinates
        self.row = 19
        self.col = mul_div(19, 4, 3)
        self.timings = {"grab": [], "paste": []}
        self.trail = []
        self.trail_gap = 0
        self.seen = (None, 0, [])
        self.redrawn = []
        self.counts = None

    # -- processes

    def start_target(self):
        if self.target and self.target.poll() is None:
            self.target.kill()
            self.target.wait()
        self.target = subprocess.Popen([self.loader, self.target_exe], stdout=self.log, stderr=self.log)
        self.wait_for(lambda: self.probe.ask("focus").get("focus", 0) not in (0, None), 30,
                      "the target window with the focus in its EDIT")
        # Wine takes the NumLock state from the next real key: type and erase a letter.
        switch_numlock_on()
        self.move(*PARK_AT)
        xdo("type", "x")
        self.expect_edit("x", (1, 1), "a letter typed through X")
        xdo("key", "BackSpace")
        self.expect_edit("", (0, 0), "the letter erased")

    def start_kwix(self):
        check(os.path.exists(self.kwix_exe), "kwix.exe is not built: " + self.kwix_exe)
        self.kwix = subprocess.Popen([self.loader, self.kwix_exe], stdout=self.log, stderr=self.log)
        self.wait_for(lambda: self.pad()["found"], 20, "the pad window of the started program")

    def stop_kwix(self, timeout=5):
        """Ends the program with WM_QUIT to its thread; returns its exit code."""
        if not self.kwix:
            return None
        if self.kwix.poll() is None:
            if self.pad()["found"]:
                self.probe.ask("quit")
            try:
                self.kwix.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.kwix.kill()
                self.kwix.wait()
                self.kwix = None
                raise Fail("the program did not end within %d s of WM_QUIT" % timeout)
        code = self.kwix.returncode
        self.kwix = None
        self.wait_for(lambda: not self.pad()["found"], 5, "the pad window to go away")
        return code

    def kwix_alive(self):
        return self.kwix is not None and self.kwix.poll() is None

    def close(self):
        try:
            if self.kwix_alive():
                self.stop_kwix()
        except Fail:
            pass
        for p in (self.kwix, self.target):
            if p and p.poll() is None:
                p.kill()
                p.wait()
        self.probe.stop()
        self.display.close()
        self.log.close()

    # -- waiting and looking

    @staticmethod
    def wait_for(cond, timeout, what, interval=0.005):
        deadline = time.monotonic() + timeout
        while True:
            value = cond()
            if value:
                return value
            if time.monotonic() > deadline:
                raise Fail("timed out after %.1f s waiting for %s" % (timeout, what))
            time.sleep(interval)

    def pad(self):
        p = self.probe.ask("pad")
        p.setdefault("visible", False)
        return p

    def pad_rect(self, p=None):
        p = p or self.pad()
        check(p["found"], "the pad window is gone (has the program ended?)")
        return Rect(p["left"], p["top"], p["right"], p["bottom"])

    def edit(self):
        e = self.probe.ask("edit")
        check(e.get("found"), "the target EDIT is gone")
        return e["text"], (e["selstart"], e["selend"])

    def set_edit(self, text, caret=None):
        caret = len(text) if caret is None else caret
        self.probe.ask("setedit %d %d %s" % (caret, caret, text))

    def screenshot(self, step):
        shot = self.display.grab()
        self.shot_no += 1
        path = os.path.join(self.art, "%02d-%s-%s.png" % (self.shot_no, self.scenario, step))
        shot.save(path)
        return shot, path

    def to_x(self, x, y):
        return x + self.offset[0], y + self.offset[1]

    # -- pointer

    def move(self, x, y, rest=0.06):
        """Moves to a Win32 screen point and rests long enough (several 10 ms ticks) for
        the program to empty its cursor trail."""
        xdo("mousemove", *self.to_x(x, y))
        time.sleep(rest)

    def circle(self, cx, cy, radius=CIRCLE_RADIUS, steps=40, extra=5, clockwise=True, dwell=0.01):
        """A bit more than one turn of `steps` points per turn, starting straight above
        the centre after a pause, so the bounding box of the sampled trail is centred on
        (cx, cy). About one point per 10 ms tick: a pointer that stops for three ticks ends
        the gesture, so slower drawing only adds chances for a busy machine to stall it.
        The radius keeps the last points off the pad that the circle shows: under Wine, a
        pointer that crosses the pad faster than the program handles the move leaves it
        without a WM_MOUSELEAVE, and its keys' hover colours then stick."""
        self.move(cx, cy - radius, rest=0.15)
        cmd = []
        for k in range(1, steps + extra + 1):
            a = 2 * math.pi * k / steps * (1 if clockwise else -1)
            x, y = self.to_x(cx + round(radius * math.sin(a)), cy - round(radius * math.cos(a)))
            cmd += ["mousemove", x, y, "sleep", dwell]
        # The probe samples alongside the program, so that a circle the program missed can
        # be told apart from one that never reached a 10 ms sampler whole.
        self.probe.send("sample 8000 80")
        self.probe.receive("sample", timeout=10)
        t0 = time.monotonic()
        xdo(*cmd)
        drawn = time.monotonic() - t0
        sampled = self.probe.receive("sample", timeout=15)
        self.trail = [tuple(p) for p in sampled["points"]]
        self.trail_gap = sampled["maxgap"]
        self.seen = replay_trail(self.trail)
        with open(os.path.join(self.art, "circles.log"), "a") as f:
            f.write("%s: circle at (%d,%d) drawn in %.2f s; %s\n" % (self.scenario, cx, cy, drawn, self.trail_report()))

    def trail_report(self):
        centre, length, stalls = self.seen
        gap = "longest gap between its ticks %d ms" % self.trail_gap
        stalled = "".join("; the pointer stood still for %d ticks before point %d" % (t, i) for i, t in stalls)
        if centre:
            return "a 10 ms timer sampler saw the circle complete after %d points around %s, %s%s" % (
                length, centre, gap, stalled)
        return "a 10 ms timer sampler saw no complete circle (%s%s) in %d points: %s" % (
            gap, stalled, len(self.trail) - 1, [p[:2] for p in self.trail[1:]])

    def circle_until(self, at, cond, what, clockwise=True, attempts=3):
        """Draws a circle and waits for cond. A circle that a sampler beside the program
        did not see drawn steadily (the pointer or the sampler stalled on a busy machine)
        is drawn again and noted; one it saw whole and steady that the program ignored
        fails."""
        for attempt in range(1, attempts + 1):
            self.circle(*at, clockwise=clockwise)
            try:
                return self.wait_for(cond, 3, what)
            except Fail as e:
                centre, _, stalls = self.seen
                steady = centre and not stalls and self.trail_gap < 40
                if steady or attempt == attempts:
                    raise Fail("%s; %s" % (e, self.trail_report()))
                self.redrawn.append("%s: %s" % (self.scenario, self.trail_report()))
                print("  circle drawn again: " + self.trail_report())

    def click(self, x, y, button=1):
        self.move(x, y)
        xdo("click", button)

    def key_point(self, rect, key, calc=False):
        col, row = (CALC_KEYS if calc else KEYPAD_KEYS)[key]
        return (rect.left + MARGIN + col * self.col + self.col // 2,
                rect.top + MARGIN + row * self.row + self.row // 2)

    def press_key(self, key, calc=False, rect=None):
        rect = rect or self.pad_rect()
        self.click(*self.key_point(rect, key, calc))

    # -- the pad's expected geometry

    def pad_size(self, calc=False):
        return (4 if calc else 3) * self.col + 2 * MARGIN, 5 * self.row + 2 * MARGIN

    def expected_rect(self, cx, cy):
        w, h = self.pad_size()
        left = cx - mul_div(self.col, 3, 2) - MARGIN
        top = cy + mul_div(self.row, 5, 2) + MARGIN - h
        return Rect(left, top, left + w, top + h)

    def calc_text_rect(self, rect):
        inset = max(mul_div(CALC_EDIT_CORNER_X, 2, 5), 3)
        return Rect(rect.left + MARGIN + inset, rect.top + MARGIN + 1,
                    rect.left + MARGIN + 4 * self.col - inset,
                    rect.top + MARGIN + self.row - CALC_EDIT_BOTTOM_MARGIN - 1)

    # -- composite steps

    def show_pad(self, at=SHOW_AT, clockwise=True):
        self.circle_until(at, lambda: self.pad()["visible"], "the pad to show after a circle", clockwise)
        return self.pad_rect()

    def hide_pad(self):
        """Back to a hidden pad by the gentlest means that works."""
        if not self.pad()["visible"]:
            return
        try:
            self.circle_until(HIDE_AT, lambda: not self.pad()["visible"], "the pad to hide", clockwise=False)
            return
        except Fail:
            pass
        rect = self.pad_rect()
        self.click(rect.left + 2, rect.top + rect.height // 2, 3)
        self.wait_for(lambda: not self.pad()["visible"], 2, "the pad to hide after a right click")

    def assert_focus_kept(self, when):
        f = self.probe.ask("focus")
        check(f.get("foreground") == f.get("target") and f.get("focus") == f.get("edit"),
              "%s: the target lost the keyboard focus (foreground %s %s, focus %s %s)"
              % (when, f.get("foreground"), f.get("fgclass"), f.get("focus"), f.get("focusclass")))

    def bring_target_back(self):
        f = self.probe.ask("focus")
        if f.get("foreground") == f.get("target") and f.get("focus") == f.get("edit"):
            return
        t = self.probe.ask("target")
        self.click((t["editleft"] + t["editright"]) // 2, (t["edittop"] + t["editbottom"]) // 2)
        self.wait_for(lambda: self.probe.ask("focus").get("focus") == t["edit"], 3, "the target's focus")

    def baseline(self, need_kwix=True):
        """The state every scenario starts from."""
        if self.probe.proc is None or self.probe.proc.poll() is not None:
            self.probe.start()
        if not self.probe.ask("target").get("edit"):
            self.start_target()
        if need_kwix:
            if not self.kwix_alive():
                if self.kwix is not None:
                    print("  the program had ended (exit code %s): starting it again" % self.kwix.returncode)
                    self.kwix = None
                if self.pad()["found"]:
                    raise Fail("a program this run did not start owns the pad window")
                self.start_kwix()
            self.hide_pad()
        self.bring_target_back()
        self.set_edit("")
        self.move(*PARK_AT)

    def calc_edit_matches(self, shot, rect, text):
        """Compares the calc edit of a screenshot with the text rendered as the pad draws it
        with its default settings; returns (ok, differing pixels, ink pixels)."""
        r = self.calc_text_rect(rect)
        want = self.probe.ask("render %d %d %s" % (r.width, r.height, text))
        check(want.get("ok"), "the probe could not render " + text)
        hexes = want["rgb"]
        diff = ink = 0
        for y in range(r.height):
            for x in range(r.width):
                i = (y * r.width + x) * 6
                exp = (int(hexes[i:i + 2], 16), int(hexes[i + 2:i + 4], 16), int(hexes[i + 4:i + 6], 16))
                got = shot.pixel(*self.to_x(r.left + x, r.top + y))
                if exp != (0, 0, 0):
                    ink += 1
                if got is None or max(abs(a - b) for a, b in zip(exp, got)) > 8:
                    diff += 1
        return diff <= max(2, ink // 50) and ink > 0, diff, ink

    def expect_calc_edit(self, text, step):
        """Waits until the calc edit shows text; keeps the screenshot as an artifact."""
        deadline = time.monotonic() + 2
        while True:
            rect = self.pad_rect()
            shot = self.display.grab()
            ok, diff, ink = self.calc_edit_matches(shot, rect, text)
            if ok or time.monotonic() > deadline:
                break
            time.sleep(0.05)
        _, path = self.screenshot(step)
        check(ok, "the calc edit does not show %r: %d of %d pixels differ (see %s)" % (text, diff, ink, path))

    def expect_edit(self, text, sel, what, timeout=3):
        """Waits until the target EDIT holds text with that selection; returns the seconds
        it took."""
        start = time.monotonic()
        last = [None]

        def done():
            last[0] = self.edit()
            return last[0] == (text, sel)
        try:
            self.wait_for(done, timeout, what, interval=0.002)
        except Fail:
            raise Fail("%s: the target shows %r selected %s, expected %r selected %s"
                       % (what, last[0][0], last[0][1], text, sel))
        return time.monotonic() - start


def winds_once(points):
    """The centre of the points' bounding box when, seen from it, they turn more than one
    full turn in steps of at most a quarter turn; else None."""
    if len(points) < 8:
        return None
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    c = (round((min(xs) + max(xs)) / 2), round((min(ys) + max(ys)) / 2))
    total, prev = 0.0, None
    for x, y in points:
        b = math.atan2(x - c[0], c[1] - y)
        if prev is not None:
            step = b - prev
            if math.pi <= abs(step) <= 2 * math.pi:
                step -= math.copysign(2 * math.pi, step)
            if abs(step) > math.pi / 2:
                return None
            total += step
        prev = b
    return c if abs(total) > 2 * math.pi else None


def replay_trail(samples):
    """Replays the (x, y, tick) samples of a 10 ms sampler (the first one where the pointer
    rested before the circle) through the rule that three ticks at rest empty the trail.
    Returns (centre or None, trail length at the first complete circle, [(sample, ticks
    at rest)] for every stall of two ticks or more, which may have emptied the program's
    trail). Only judges whether the harness drew a circle that a 10 ms sampler can
    recognise; the program's own tests judge the program."""
    trail, stalls = [], []
    prev_tick = samples[0][2] if samples else 0
    for i, (x, y, tick) in enumerate(samples[1:], 1):
        rest = tick - prev_tick - 1
        if rest >= 2 and trail:
            # Two ticks here may be three for the program, whose ticks fall elsewhere.
            stalls.append((i, rest))
        if rest >= 3:
            trail = []
        prev_tick = tick
        trail.append((x, y))
        centre = winds_once(trail)
        if centre:
            return centre, len(trail), stalls
    return None, len(trail), stalls


def key_box(h, rect, key, calc=False):
    """The inside of a key, in X coordinates, clear of its outline and rounded corners."""
    col, row = (CALC_KEYS if calc else KEYPAD_KEYS)[key]
    left = rect.left + MARGIN + col * h.col + BTN_MARGIN + 2
    top = rect.top + MARGIN + row * h.row + BTN_MARGIN + 2
    return (*h.to_x(left, top), *h.to_x(left + h.col - 2 * BTN_MARGIN - 4, top + h.row - 2 * BTN_MARGIN - 4))


def caption_colours(shot, box):
    """The pure colours of a key's caption: its brightest pixels (antialiasing blends the
    rest with the key's background)."""
    pixels = [p for row in shot.box(*box) for p in row]
    top = max(sum(p) for p in pixels)
    return {p for p in pixels if sum(p) == top} if top > 0 else set()


def dominant(pixels):
    counts = {}
    for row in pixels:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    return max(counts.items(), key=lambda kv: kv[1])[0]


# ---------------------------------------------------------------------------- scenarios

def scenario_harness(h):
    """The harness itself, with the target alone: coordinates, focus, typing, NumLock."""
    h.baseline(need_kwix=False)
    screen = h.probe.ask("screen")
    h.row = screen["cymenu"]
    h.col = mul_div(h.row, 4, 3)
    offsets = set()
    for x, y in ((300, 200), (700, 500), (1000, 20)):
        xdo("mousemove", x, y)
        time.sleep(0.05)
        c = h.probe.ask("cursor")
        offsets.add((x - c["x"], y - c["y"]))
    check(len(offsets) == 1, "X and Win32 coordinates are not a plain translation: %s" % offsets)
    h.offset = offsets.pop()
    print("  screen %dx%d, SM_CYMENU %d, %d dpi, X = Win32 + %s"
          % (screen["width"], screen["height"], h.row, screen["dpi"], h.offset))
    h.assert_focus_kept("target start")
    t0 = time.monotonic()
    for _ in range(20):
        h.probe.ask("edit")
    print("  a question to the probe takes %.1f ms (the resolution of the timings below)"
          % ((time.monotonic() - t0) * 1000 / 20))
    # The circles the scenarios draw, as a 10 ms cursor sampler sees them.
    cx, cy = SHOW_AT
    check(math.hypot(*h.pad_size()) / 2 + 2 < CIRCLE_RADIUS, "the circles would cross the pad they show")
    h.circle_until((cx, cy), lambda: h.seen[0], "a sampler to see a whole circle")
    centre = h.seen[0]
    check(abs(centre[0] - cx) <= 1 and abs(centre[1] - cy) <= 1,
          "the circle drawn around %s: %s" % ((cx, cy), h.trail_report()))
    print("  " + h.trail_report())
    # A real key through X, then the same keys as the program will inject them.
    h.move(*PARK_AT)
    xdo("type", "--delay", "20", "ab")
    h.expect_edit("ab", (2, 2), "keys typed through X")
    h.probe.ask("keys 67 6E 65")  # VK_NUMPAD7, VK_DECIMAL, VK_NUMPAD5
    h.expect_edit("ab7.5", (5, 5), "numeric-keypad keys injected with NumLock on")
    h.set_edit("Total 12.5")
    h.probe.ask("keys +11 27 +10 25 -10 43 -11")  # Ctrl+Right, Ctrl+Shift+Left, Ctrl+C
    h.expect_edit("Total 12.5", (6, 10), "a word selected with Ctrl+Shift+Left")
    clipboard = {}

    def copied():
        clipboard.update(h.probe.ask("clipboard"))
        return clipboard.get("text") == "12.5"
    try:
        h.wait_for(copied, 5, "Ctrl+C to copy the word")
    except Fail as e:
        raise Fail("%s: the clipboard answers %s" % (e, clipboard))
    h.probe.ask("setclipboard 25")
    h.probe.ask("keys +11 56 -11 +10 25 25 -10")  # Ctrl+V, Shift+Left twice
    h.expect_edit("Total 25", (6, 8), "a paste selected with Shift+Left")
    h.assert_focus_kept("typing")
    h.screenshot("target")


def scenario_start(h):
    """Nothing visible after start; a second copy ends at once with 0; the first works on."""
    h.baseline(need_kwix=False)
    if h.kwix_alive():
        h.stop_kwix()
    before = h.display.grab()
    h.start_kwix()
    time.sleep(0.5)
    p = h.pad()
    check(not p["visible"], "the pad is visible right after start")
    check(p["style"] & WS_POPUP and not p["style"] & WS_VISIBLE, "pad style 0x%08x" % p["style"])
    check(p["exstyle"] & LAYERED_STYLE == LAYERED_STYLE, "pad extended style 0x%08x" % p["exstyle"])
    check(p["layered"] and p["key"] == 0xFF00FF and p["alpha"] == 128 and p["flags"] == 3,
          "layered attributes key 0x%06x alpha %d flags %d" % (p["key"], p["alpha"], p["flags"]))
    after, path = h.screenshot("started")
    t = h.probe.ask("target")
    changed = sum(1 for y in range(0, 768, 2) for x in range(0, 1024, 2)
                  if not (t["left"] <= x - h.offset[0] < t["right"] and t["top"] <= y - h.offset[1] < t["bottom"])
                  and before.pixel(x, y) != after.pixel(x, y))
    check(changed == 0, "the screen changed outside the target at start (%d pixels, %s)" % (changed, path))
    h.assert_focus_kept("program start")

    first_pid = p["pid"]
    # Three tries each, beside a Wine process that does nothing, and the fastest of each
    # counts: on a busy machine starting any process can take a second by itself.
    idle, took = [], []
    for _ in range(3):
        t0 = time.monotonic()
        subprocess.run([h.loader, h.probe.exe, "ping"], stdout=subprocess.DEVNULL, stderr=h.log, timeout=20)
        idle.append(time.monotonic() - t0)
        t0 = time.monotonic()
        second = subprocess.run([h.loader, h.kwix_exe], stdout=h.log, stderr=h.log, timeout=20)
        took.append(time.monotonic() - t0)
        check(second.returncode == 0, "the second copy ended with code %d" % second.returncode)
    print("  a second copy ended with code 0 after %s s (a Wine process doing nothing: %s s)"
          % (" ".join("%.2f" % t for t in took), " ".join("%.2f" % t for t in idle)))
    check(min(took) < max(1.0, min(idle) + 0.5), "a second copy took at least %.2f s to end" % min(took))
    check(h.kwix_alive(), "the first copy died when the second started")
    p = h.pad()
    check(p["found"] and p["pid"] == first_pid and not p["visible"], "the first copy's pad changed: %s" % p)
    h.assert_focus_kept("second copy")
    h.show_pad()
    h.screenshot("first-still-works")
    h.hide_pad()


def scenario_show_and_place(h):
    """A circle shows the pad where the placement puts it, without taking the focus."""
    h.baseline()
    cx, cy = SHOW_AT
    before = h.display.grab()
    h.circle_until((cx, cy), lambda: h.pad()["visible"], "the pad to show after a circle")
    p = h.pad()
    got, want = h.pad_rect(p), h.expected_rect(cx, cy)
    print("  circle centre (%d,%d): pad %s, expected %s" % (cx, cy, got, want))
    check((got.width, got.height) == (want.width, want.height),
          "pad size %dx%d, expected %dx%d" % (got.width, got.height, want.width, want.height))
    # The program's samples may miss an extreme point of the circle: a pixel or two.
    check(abs(got.left - want.left) <= 2 and abs(got.top - want.top) <= 2,
          "pad at %s, expected %s" % (got, want))
    check(p["exstyle"] & LAYERED_STYLE == LAYERED_STYLE, "pad extended style 0x%08x" % p["exstyle"])
    h.assert_focus_kept("showing the pad")
    h.move(*PARK_AT)
    shot, path = h.screenshot("shown")
    # Keypad mode leaves the calc edit row in the mask colour: see-through, nothing drawn.
    strip = [(x, y) for y in range(got.top + 1, got.top + h.row - 1) for x in range(got.left + 1, got.right - 1)]
    seen = sum(1 for x, y in strip if shot.pixel(*h.to_x(x, y)) == before.pixel(*h.to_x(x, y)))
    check(seen == len(strip), "the calc edit row is not transparent in keypad mode (%d of %d pixels, %s)"
          % (len(strip) - seen, len(strip), path))
    masked = sum(1 for row in shot.box(*h.to_x(got.left, got.top), *h.to_x(got.right, got.bottom))
                 for px in row if px == MASK_COLOR)
    check(masked == 0, "%d pixels of the mask colour show on the pad (%s)" % (masked, path))
    bg = shot.pixel(*h.to_x(got.left + 3, got.top + MARGIN + 2 * h.row + h.row // 2))
    check(bg == (0, 0, 0), "background %s, expected black (%s)" % (bg, path))
    key = shot.box(*h.to_x(got.left + MARGIN + BTN_MARGIN + 2, got.top + MARGIN + h.row + BTN_MARGIN + 2),
                   *h.to_x(got.left + MARGIN + h.col - BTN_MARGIN - 2, got.top + MARGIN + 2 * h.row - BTN_MARGIN - 2))
    check(dominant(key) == (0, 0, 0), "key 7 is %s, expected black (%s)" % (dominant(key), path))
    check(any(px == (255, 255, 0) for row in key for px in row), "key 7 has no yellow caption (%s)" % path)

    # A second circle, anywhere, hides it.
    h.circle_until(HIDE_AT, lambda: not h.pad()["visible"], "a second circle to hide the pad", clockwise=False)
    h.assert_focus_kept("hiding the pad")
    h.screenshot("hidden")


def scenario_right_click(h):
    """A right click on a key hides the pad and types nothing."""
    h.baseline()
    rect = h.show_pad()
    h.click(*h.key_point(rect, "5"), button=3)
    h.wait_for(lambda: not h.pad()["visible"], 2, "a right click to hide the pad")
    time.sleep(0.1)
    check(h.edit() == ("", (0, 0)), "the right click typed into the target: %r" % (h.edit(),))
    h.assert_focus_kept("right click")


def scenario_middle_click(h):
    """A middle click widens the pad by one column to the right and back."""
    h.baseline()
    rect = h.show_pad()
    h.click(*h.key_point(rect, "5"), button=2)
    h.wait_for(lambda: h.pad_rect().width == rect.width + h.col, 2, "the pad to widen")
    wide = h.pad_rect()
    check((wide.left, wide.top, wide.height) == (rect.left, rect.top, rect.height),
          "widening moved the pad from %s to %s" % (rect, wide))
    h.assert_focus_kept("middle click")
    h.move(*PARK_AT)
    h.expect_calc_edit("0", "calc-mode")
    h.click(*h.key_point(wide, "5"), button=2)
    h.wait_for(lambda: h.pad_rect().width == rect.width, 2, "the pad to narrow again")
    check(h.pad_rect() == rect, "narrowing left the pad at %s, expected %s" % (h.pad_rect(), rect))
    time.sleep(0.1)
    check(h.edit() == ("", (0, 0)), "middle clicks typed into the target: %r" % (h.edit(),))
    h.assert_focus_kept("second middle click")
    h.screenshot("keypad-mode")


def scenario_drag(h):
    """A press on the margin drags the pad; the grabbed point stays under the pointer."""
    h.baseline()
    rect = h.show_pad()
    grab = (2, MARGIN + 2 * h.row + h.row // 2)  # left margin, beside the "4" key
    x0, y0 = rect.left + grab[0], rect.top + grab[1]
    h.move(x0, y0)
    cmd = ["mousedown", 1]
    for i in range(1, 13):
        cmd += ["mousemove", *h.to_x(x0 - 10 * i, y0 + 7 * i), "sleep", 0.02]
    cmd += ["sleep", 0.1, "mouseup", 1]
    xdo(*cmd)
    x1, y1 = x0 - 120, y0 + 84
    h.wait_for(lambda: abs(h.pad_rect().left - (x1 - grab[0])) <= 1, 2, "the pad to follow the pointer")
    moved = h.pad_rect()
    print("  dragged from %s to %s" % (rect, moved))
    check(abs(moved.left - (x1 - grab[0])) <= 1 and abs(moved.top - (y1 - grab[1])) <= 1,
          "pad at %s after the drag, expected its point %s under the pointer at (%d,%d)" % (moved, grab, x1, y1))
    check((moved.width, moved.height) == (rect.width, rect.height), "the drag resized the pad")
    check(h.pad()["visible"], "the drag hid the pad")
    check(h.edit() == ("", (0, 0)), "the drag typed into the target: %r" % (h.edit(),))
    h.assert_focus_kept("drag")
    h.move(*PARK_AT)
    h.screenshot("dragged")


def scenario_settings_file(h):
    """A settings file beside the program takes effect at the next showing, and its removal
    at the one after."""
    h.baseline()
    ini = os.path.splitext(h.kwix_exe)[0] + ".ini"
    colours = {"BGColor": (255, 0, 0), "BtnColor": (0, 0, 255)}
    try:
        with open(ini, "w", newline="\r\n") as f:
            f.write("# written by the end-to-end tests\nBGColor = 0x0000FF\nBtnColor=16711680\n")
        for round_no, want in enumerate((colours, {"BGColor": (0, 0, 0), "BtnColor": (0, 0, 0)})):
            rect = h.show_pad()
            h.move(*PARK_AT)
            time.sleep(0.1)
            shot, path = h.screenshot("colours-%d" % round_no)
            bg = shot.pixel(*h.to_x(rect.left + 3, rect.top + MARGIN + 2 * h.row + h.row // 2))
            key = dominant(shot.box(*h.to_x(rect.left + MARGIN + BTN_MARGIN + 2, rect.top + MARGIN + h.row + 3),
                                    *h.to_x(rect.left + MARGIN + h.col - 3, rect.top + MARGIN + 2 * h.row - 3)))
            label = "with the settings file" if round_no == 0 else "after removing the settings file"
            check(bg == want["BGColor"], "%s the background is %s, expected %s (%s)"
                  % (label, bg, want["BGColor"], path))
            check(key == want["BtnColor"], "%s key 7 is %s, expected %s (%s)" % (label, key, want["BtnColor"], path))
            h.hide_pad()
            if round_no == 0:
                os.remove(ini)
    finally:
        if os.path.exists(ini):
            os.remove(ini)


def scenario_keypad_keys(h):
    """Keypad mode: digit keys and the decimal key reach the focused application."""
    h.baseline()
    rect = h.show_pad()
    for key in "7.5":
        h.press_key(key, rect=rect)
    h.expect_edit("7.5", (3, 3), "keypad keys 7 . 5")
    # A key acts when the button goes down on it, not when it comes up.
    h.move(*h.key_point(rect, "0"))
    h.display.button(1, True)
    try:
        h.expect_edit("7.50", (4, 4), "the key 0 while the button is still down")
    finally:
        h.display.button(1, False)
    h.move(*h.key_point(rect, "5"))
    time.sleep(0.1)
    check(h.edit() == ("7.50", (4, 4)), "releasing the button typed more: %r" % (h.edit(),))
    check(h.pad_rect() == rect and h.pad()["visible"], "keypad keys changed the pad")
    h.assert_focus_kept("keypad keys")
    # The key under the pointer has the hover caption colour, and loses it when the pointer
    # leaves the pad.
    five = key_box(h, rect, "5")
    h.wait_for(lambda: caption_colours(h.display.grab(), five) == {(255, 255, 255)}, 2,
               "a white caption on the key under the pointer")
    h.screenshot("hover")
    h.move(*PARK_AT, rest=0)
    t0 = time.monotonic()
    try:
        h.wait_for(lambda: caption_colours(h.display.grab(), five) == {(255, 255, 0)}, 2,
                   "the key to lose its hover colour when the pointer left the pad", interval=0.02)
        print("  the hover colour went %.0f ms after the pointer left" % ((time.monotonic() - t0) * 1000))
    finally:
        h.screenshot("left")


def scenario_grab_and_paste(h):
    """The typical use: "=" takes the number before the caret into calculator mode,
    "x 2 =" pastes the product over it, selected."""
    h.baseline()
    h.set_edit("Total 12.5")
    rect = h.show_pad()
    h.move(*h.key_point(rect, "="))
    t0 = time.monotonic()
    h.display.click_now()
    wide = rect.width + h.col
    h.wait_for(lambda: h.pad_rect().width == wide and h.edit() == ("Total 12.5", (6, 10)), 3,
               "the grab (pad widened, 12.5 selected in the target)")
    grab = time.monotonic() - t0
    h.timings["grab"].append(grab)
    print("  grab took %.0f ms" % (grab * 1000))
    check(h.pad_rect().left == rect.left and h.pad_rect().top == rect.top, "the pad moved when it widened")
    h.assert_focus_kept("grab")
    h.move(*PARK_AT)
    h.expect_calc_edit("12.5", "grabbed")
    rect = h.pad_rect()
    h.press_key("*", calc=True, rect=rect)
    h.press_key("2", calc=True, rect=rect)
    h.move(*h.key_point(rect, "=", calc=True))
    t0 = time.monotonic()
    h.display.click_now()
    h.expect_edit("Total 25", (6, 8), "the paste of 12.5 x 2")
    paste = time.monotonic() - t0
    h.timings["paste"].append(paste)
    print("  paste took %.0f ms" % (paste * 1000))
    h.assert_focus_kept("paste")
    h.move(*PARK_AT)
    h.expect_calc_edit("25", "pasted")
    check(h.pad_rect().width == wide, "the pad left calculator mode after =")


def calc_sequence(h, rect, keys, pasted, shown, step):
    for k in keys[:-1]:
        h.press_key(k, calc=True, rect=rect)
    h.move(*h.key_point(rect, keys[-1], calc=True))
    t0 = time.monotonic()
    h.display.click_now()
    h.expect_edit(pasted, (0, len(pasted)), "the result of %s" % " ".join(keys))
    h.timings["paste"].append(time.monotonic() - t0)
    h.move(*PARK_AT)
    if shown:
        h.expect_calc_edit(shown, step)
    else:
        h.screenshot(step)


def scenario_calculator(h):
    """Calculator mode from a middle click: 1/3, 1/0 and 10^20, pasted selected."""
    h.baseline()
    rect = h.show_pad()
    h.click(*h.key_point(rect, "5"), button=2)
    h.wait_for(lambda: h.pad_rect().width == rect.width + h.col, 2, "calculator mode")
    h.move(*PARK_AT)
    h.expect_calc_edit("0", "zero")
    rect = h.pad_rect()
    calc_sequence(h, rect, ["1", "/", "3", "="], "0.333333333333333", None, "third")
    calc_sequence(h, rect, ["1", "/", "0", "="], "INF", "INF", "inf")
    calc_sequence(h, rect, list("10000000000") + ["*"] + list("10000000000") + ["="], "1E20", "1E020", "e20")
    h.assert_focus_kept("calculator")


def scenario_quit(h):
    """WM_QUIT ends the program with code 0; a new copy then starts normally."""
    h.baseline()
    h.counts = h.probe.ask("counts")
    code = h.stop_kwix()
    check(code == 0, "the program ended with code %s after WM_QUIT" % code)
    h.start_kwix()
    h.show_pad()
    h.hide_pad()


SCENARIOS = [
    ("harness", scenario_harness),
    ("start", scenario_start),
    ("show-and-place", scenario_show_and_place),
    ("right-click", scenario_right_click),
    ("middle-click", scenario_middle_click),
    ("drag", scenario_drag),
    ("settings-file", scenario_settings_file),
    ("keypad-keys", scenario_keypad_keys),
    ("grab-and-paste", scenario_grab_and_paste),
    ("calculator", scenario_calculator),
    ("quit", scenario_quit),
    ("high-dpi", scenario_high_dpi),
]

# Hostile conditions and long use, kept in their own file.
import e2e_faults  # noqa: E402
SCENARIOS += e2e_faults.scenarios(sys.modules[__name__])


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--loader", required=True)
    ap.add_argument("--kwix", required=True)
    ap.add_argument("--target", required=True)
    ap.add_argument("--probe", required=True)
    ap.add_argument("--artifacts", required=True)
    ap.add_argument("--only", action="append", help="run only these scenarios (repeatable)")
    args = ap.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    for name in os.listdir(args.artifacts):
        if name.endswith(".png"):
            os.remove(os.path.join(args.artifacts, name))

    h = Harness(args)
    started = time.monotonic()
    passed = failed = 0
    chosen = SCENARIOS
    if args.only:
        chosen = [s for s in chosen if s[0] in args.only or s[0] == "harness"]
    try:
        for name, fn in chosen:
            h.scenario = name
            t0 = time.monotonic()
            try:
                fn(h)
                passed += 1
                print("PASS %s (%.1f s)" % (name, time.monotonic() - t0), flush=True)
            except (Fail, subprocess.SubprocessError, OSError, KeyError, ValueError) as e:
                failed += 1
                try:
                    _, path = h.screenshot("failed")
                except Exception:  # the failure report matters more than its screenshot
                    path = "no screenshot"
                print("FAIL %s (%.1f s): %s [%s]" % (name, time.monotonic() - t0, e, path), flush=True)
                if name == "harness":
                    print("  the harness does not work; the other scenarios cannot run", flush=True)
                    failed += len(chosen) - 1
                    break
    finally:
        h.close()
    for kind in ("grab", "paste"):
        ms = [round(t * 1000) for t in h.timings[kind]]
        if ms:
            print("timing: %s %s ms (click to final text and selection in the target)" % (kind, ms))
    for note in h.redrawn:
        print("circle drawn again: " + note)
    c = h.counts
    if c and c.get("ok"):
        print("counts before quitting: working set %d KiB, peak %d KiB, handles %s, GDI objects %s, USER objects %s"
              % (c.get("workingset", 0) // 1024, c.get("peakworkingset", 0) // 1024,
                 c.get("handles"), c.get("gdi"), c.get("user")))
    print("scenarios took %.0f s" % (time.monotonic() - started))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
