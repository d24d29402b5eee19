"""End-to-end scenarios of hostile conditions and long use, run by e2e.py with its harness.

Another Windows program (kwix_faults, beside the probe) makes the trouble other programs
make on a user's desktop: it holds the settings file open for writing, holds the clipboard
open, takes the focus with a window that ignores every key, catches what is pasted once the
target is gone, and times how long the pad's thread takes to answer a message. Each
scenario checks that the pad keeps working: it still shows and toggles on the next circle,
no key press keeps it busy for much more than a second, and nothing reaches an application
that the user did not compute. The soak draws 100 circles in a row (KWIX_E2E_CIRCLES for
more) and checks the pad's process for growing memory and GDI objects.
"""

import atexit
import os
import subprocess
import time

# A key press may keep the pad busy this long at most: the bridge's own bounded waits
# (50 ms for the clipboard, 500 ms for a copy) plus room for a busy machine.
BUSY_LIMIT_S = 1.5


def scenarios(lib):
    """The scenarios of this file, bound to the harness module (e2e.py) that runs them."""
    f = _Faults(lib)
    atexit.register(f.stop_tool)
    return [
        ("settings-faults", f.settings_faults),
        ("clipboard-held", f.clipboard_held),
        ("deaf-target", f.deaf_target),
        ("target-closes", f.target_closes),
        ("more-copies", f.more_copies),
        ("soak", f.soak),
    ]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class _Faults:
    def __init__(self, lib):
        self.lib = lib
        self.tool = None
        self.notes = []

    # -- helpers

    def check(self, cond, message):
        self.lib.check(cond, message)

    def faults(self, h):
        """kwix_faults in serve mode, started on first use."""
        if self.tool is None or self.tool.proc is None or self.tool.proc.poll() is not None:
            exe = os.path.join(os.path.dirname(h.probe.exe), "kwix_faults.exe")
            self.check(os.path.exists(exe), "kwix_faults.exe is not built: " + exe)
            self.tool = self.lib.Probe(h.loader, exe)
            self.tool.start()
        return self.tool

    def ask(self, h, line, timeout=10):
        answer = self.faults(h).ask(line, timeout=timeout)
        if "error" in answer:
            raise self.lib.Fail("kwix_faults: %s" % answer["error"])
        return answer

    def stop_tool(self):
        if self.tool:
            self.tool.stop()
            self.tool = None

    def ini(self, h):
        return os.path.splitext(h.kwix_exe)[0] + ".ini"

    def background(self, h, rect, step):
        shot, path = h.screenshot(step)
        return shot.pixel(*h.to_x(rect.left + 3, rect.top + self.lib.MARGIN + 2 * h.row + h.row // 2)), path

    def toggle(self, h, at, clockwise, want_visible, attempts=3):
        """One circle that must toggle the pad to want_visible. A circle that a sampler
        beside the program did not see drawn steadily is drawn again (and noted); one it
        saw whole that the program ignored fails. Returns the circles drawn."""
        for attempt in range(1, attempts + 1):
            h.circle(*at, radius=80, steps=24, extra=3, clockwise=clockwise, dwell=0.01)
            try:
                h.wait_for(lambda: h.pad()["visible"] == want_visible, 2,
                           "a circle to %s the pad" % ("show" if want_visible else "hide"))
                return attempt
            except self.lib.Fail as e:
                seen = getattr(h, "seen", None)
                steady = bool(seen and seen[0] and not seen[2] and getattr(h, "trail_gap", 99) < 40)
                report = h.trail_report() if hasattr(h, "trail_report") else ""
                if steady or attempt == attempts:
                    raise self.lib.Fail("%s; %s" % (e, report))
                self.notes.append("%s: circle drawn again: %s" % (h.scenario, report))
        return attempts

    def busy_after_click(self, h, window_s=1.6, done=None):
        """Clicks at the pointer and keeps timing how long the pad takes to answer a
        message, for window_s seconds (and until done() holds, at most 5 s): returns the
        longest answer in seconds. A message sent while a key action runs is answered when
        it ends, so the longest answer is about how long the click kept the pad busy."""
        start = time.monotonic()
        h.display.click_now()
        longest = 0.0
        while True:
            sent = time.monotonic()
            answer = self.ask(h, "padping 8000", timeout=15)
            self.check(answer["answered"], "the pad did not answer a message within 8 s")
            longest = max(longest, time.monotonic() - sent)
            elapsed = time.monotonic() - start
            if elapsed >= 5 or (elapsed >= window_s and (done is None or done())):
                return longest
            time.sleep(0.01)

    def press(self, h, rect, key, calc=True, what=None):
        h.move(*h.key_point(rect, key, calc))
        took = self.busy_after_click(h, window_s=0.3)
        self.check(took < BUSY_LIMIT_S, "%s kept the pad busy for %.2f s" % (what or "the key " + key, took))
        return took

    # -- scenarios

    def settings_faults(self, h):
        """The settings file replaced, cut short, held open for writing by another program,
        deleted and turned into a folder while the program runs: every next showing uses
        the file's values or the defaults, and the pad shows every time."""
        h.baseline()
        ini = self.ini(h)
        black, red, green = (0, 0, 0), (255, 0, 0), (0, 255, 0)

        def write(text, name=ini):
            with open(name, "wb") as f:
                f.write(text.encode("ascii"))

        def replace(text):
            write(text, ini + ".new")
            os.replace(ini + ".new", ini)

        def truncate():
            write("BGColor=16711680\r\nBtnColor=255\r\n")
            with open(ini, "r+b") as f:
                f.truncate(len("BGColor=1671"))  # the last line, without its end: 1671 = 0x687

        def lock():
            write("BGColor=0x0000FF\r\n")
            answer = self.ask(h, "lock " + windows_path(ini))
            self.check(answer["ok"], "kwix_faults could not open the settings file for writing: %s" % answer)

        def delete():
            self.ask(h, "unlock")
            os.remove(ini)

        def folder():
            os.mkdir(ini)

        def restore():
            os.rmdir(ini)
            write("BGColor=0x0000FF\r\n")

        steps = [
            ("replaced", lambda: replace("# replaced\r\nBGColor=0x00FF00\r\n"), green),
            ("cut-short", truncate, (0x87, 0x06, 0x00)),
            ("locked", lock, black),
            ("deleted", delete, black),
            ("folder", folder, black),
            ("restored", restore, red),
        ]
        try:
            for step, make_fault, want in steps:
                make_fault()
                rect = self.show(h)
                h.move(*self.lib.PARK_AT)
                time.sleep(0.1)
                bg, path = self.background(h, rect, step)
                print("  %s: background %s" % (step, bg))
                self.check(bg == want, "settings file %s: background %s, expected %s (%s)" % (step, bg, want, path))
                self.toggle(h, self.lib.HIDE_AT, False, False)
        finally:
            if self.tool:
                self.ask(h, "unlock")
            if os.path.isdir(ini):
                os.rmdir(ini)
            for name in (ini, ini + ".new"):
                if os.path.exists(name):
                    os.remove(name)
        self.check(h.kwix_alive(), "the program ended")

    def show(self, h):
        self.toggle(h, self.lib.SHOW_AT, True, True)
        return h.pad_rect()

    def clipboard_held(self, h):
        """Another program holds the clipboard open, with the user's old text on it, during
        a grab and a paste: neither keeps the pad busy, the grab starts from 0, nothing is
        pasted (the old text least of all), and once the clipboard is free "=" pastes."""
        h.baseline()
        h.set_edit("Total 12.5")
        rect = self.show(h)
        self.check(self.ask(h, "holdclip STALE")["ok"], "kwix_faults could not take the clipboard")
        try:
            h.move(*h.key_point(rect, "="))
            wide = rect.width + h.col
            took = self.busy_after_click(h, done=lambda: h.pad_rect().width == wide)
            print("  grab with the clipboard held kept the pad busy %.0f ms" % (took * 1000))
            self.check(took < BUSY_LIMIT_S, "the grab kept the pad busy for %.2f s" % took)
            self.check(h.pad_rect().width == wide, "the grab did not switch to calculator mode")
            h.move(*self.lib.PARK_AT)
            h.expect_calc_edit("0", "grab-refused")
            rect = h.pad_rect()
            self.press(h, rect, "7")
            took = self.press(h, rect, "=", what="a paste with the clipboard held")
            print("  paste with the clipboard held kept the pad busy %.0f ms" % (took * 1000))
            time.sleep(0.3)
            text, _ = h.edit()
            self.check(text == "Total 12.5", "with the clipboard held, the target got %r" % text)
        finally:
            self.ask(h, "releaseclip")
        self.press(h, rect, "=", what="a paste once the clipboard is free")
        # A grab that copied nothing still selects back once more (the previous word joins
        # the selection), so the paste replaces what is selected, whatever that is.
        def pasted():
            text, (start, end) = h.edit()
            return text[start:end] == "7" and "STALE" not in text
        h.wait_for(pasted, 3, "the result 7 pasted and selected once the clipboard was free")
        print("  once the clipboard was free the target holds %r" % (h.edit(),))
        h.assert_focus_kept("clipboard held")
        self.toggle(h, self.lib.HIDE_AT, False, False)

    def deaf_target(self, h):
        """The focused window ignores every key: the grab gives up within its bounds and
        starts from 0, the paste does not wait for it, and the pad toggles as before."""
        h.baseline()
        try:
            self.ask(h, "deaf")
            h.wait_for(lambda: self.ask(h, "deafkeys")["foreground"], 3, "the deaf window in front")
            rect = self.show(h)
            self.press(h, rect, "5", calc=False)
            h.move(*h.key_point(rect, "=", False))
            wide = rect.width + h.col
            took = self.busy_after_click(h, done=lambda: h.pad_rect().width == wide)
            print("  grab from a window that ignores keys kept the pad busy %.0f ms" % (took * 1000))
            self.check(took < BUSY_LIMIT_S, "the grab kept the pad busy for %.2f s" % took)
            h.move(*self.lib.PARK_AT)
            h.expect_calc_edit("0", "grab-ignored")
            rect = h.pad_rect()
            for key in "4+3=":
                self.press(h, rect, key)
            keys = self.ask(h, "deafkeys")
            self.check(keys["keys"] > 0 and keys["foreground"], "the deaf window did not keep the focus: %s" % keys)
            clip = h.probe.ask("clipboard")
            self.check(clip.get("text") == "7", "the clipboard holds %r, not the result 7" % clip.get("text"))
            self.toggle(h, self.lib.HIDE_AT, False, False)
            self.check(h.kwix_alive(), "the program ended")
        finally:
            self.ask(h, "closewindows")

    def target_closes(self, h):
        """The target closes while the pad is in calculator mode: the keys stay quick, what
        reaches the window that gets the focus next is the result the user computed or
        nothing, and the next circle still hides the pad."""
        h.baseline()
        try:
            self.ask(h, "witness")
            h.bring_target_back()
            h.set_edit("Total 12.5")
            rect = self.show(h)
            h.move(*h.key_point(rect, "="))
            h.display.click_now()
            h.wait_for(lambda: h.pad_rect().width == rect.width + h.col, 3, "the grab")
            h.move(*self.lib.PARK_AT)
            h.expect_calc_edit("12.5", "grabbed")
            rect = h.pad_rect()
            self.check(self.ask(h, "closetarget")["ok"], "could not ask the target to close")
            h.wait_for(lambda: not h.probe.ask("target").get("target"), 5, "the target to close")
            for key in "+2=":
                self.press(h, rect, key)
            time.sleep(0.3)
            got = self.ask(h, "witnesstext")["text"]
            print("  after the target closed, the window that got the focus holds %r" % got)
            self.check(got in ("", "14.5"), "a text the user did not compute reached another window: %r" % got)
            # Another window comes to the front: the next "=" (12.5 + 2 + 2) pastes there.
            self.ask(h, "witness")
            self.press(h, rect, "=")
            # (A result pasted there before is still selected and gets replaced.)
            h.wait_for(lambda: self.ask(h, "witnesstext")["text"] == "16.5", 3,
                       "the next result in the window now in front")
            self.toggle(h, self.lib.HIDE_AT, False, False)
            self.check(h.kwix_alive(), "the program ended")
        finally:
            self.ask(h, "closewindows")

    def more_copies(self, h):
        """A second and a third copy started together while the first runs: both end at
        once with exit code 0; the first goes on and toggles on the next circle."""
        h.baseline()
        first = h.pad()
        # What starting two Wine processes side by side costs right now.
        t0 = time.monotonic()
        idle = [subprocess.Popen([h.loader, h.probe.exe, "ping"], stdout=subprocess.DEVNULL, stderr=h.log)
                for _ in range(2)]
        for p in idle:
            p.wait(timeout=20)
        idle_s = time.monotonic() - t0
        t0 = time.monotonic()
        copies = [subprocess.Popen([h.loader, h.kwix_exe], stdout=h.log, stderr=h.log) for _ in range(2)]
        codes = []
        try:
            for p in copies:
                codes.append(p.wait(timeout=20))
        finally:
            for p in copies:
                if p.poll() is None:
                    p.kill()
                    p.wait()
        took = time.monotonic() - t0
        print("  two more copies ended with codes %s after %.2f s (two idle Wine processes: %.2f s)"
              % (codes, took, idle_s))
        self.check(codes == [0, 0], "the extra copies ended with codes %s" % codes)
        self.check(took < max(1.5, idle_s + 1.0), "the extra copies took %.2f s to end" % took)
        self.check(h.kwix_alive(), "the first copy died when more were started")
        p = h.pad()
        self.check(p["found"] and p["pid"] == first["pid"] and not p["visible"], "the first copy's pad changed: %s" % p)
        self.show(h)
        self.toggle(h, self.lib.HIDE_AT, False, False)

    def counts(self, h):
        # GDI objects first: under Wine they are counted by reading the pad process's
        # handle table, and the first reading makes the system commit that table's pages
        # (1.5 MiB) in the pad's process.
        g = self.ask(h, "gdicount")
        c = h.probe.ask("counts")
        gdi = g["reported"] if g.get("reported", 0) > 0 else g.get("table", -1)
        return {"workingset": c.get("workingset", 0), "private": c.get("pagefile", 0), "gdi": gdi}

    def soak(self, h):
        """100 circles in a row toggle the pad 100 times; a calculation afterwards still
        pastes the right result; the program's memory and GDI objects do not grow."""
        h.baseline()
        circles = int(os.environ.get("KWIX_E2E_CIRCLES", "100"))
        circles += circles % 2  # an even number ends with the pad hidden
        # A first showing builds the font and whatever the system caches for the pad.
        self.show(h)
        self.toggle(h, self.lib.HIDE_AT, False, False)
        self.counts(h)
        before = self.counts(h)
        drawn = 0
        t0 = time.monotonic()
        trend = []
        for i in range(circles):
            show = i % 2 == 0
            drawn += self.toggle(h, self.lib.SHOW_AT if show else self.lib.HIDE_AT, show, show)
            if i % 20 == 19:
                trend.append(self.counts(h))
        soaked = time.monotonic() - t0
        after = self.counts(h)
        print("  %d circles toggled the pad %d times (%d drawn) in %.0f s" % (circles, circles, drawn, soaked))
        print("  before: working set %d KiB, private %d KiB, GDI objects %d" %
              (before["workingset"] // 1024, before["private"] // 1024, before["gdi"]))
        print("  after:  working set %d KiB, private %d KiB, GDI objects %d" %
              (after["workingset"] // 1024, after["private"] // 1024, after["gdi"]))
        with open(os.path.join(h.art, "soak.log"), "a") as f:
            f.write("%d circles, %d drawn, %.0f s; before %s; after %s\n" % (circles, drawn, soaked, before, after))
            for n, c in enumerate(trend, 1):
                f.write("  after %d circles: %s\n" % (20 * n, c))

        h.set_edit("Total 12.5")
        rect = self.show(h)
        h.move(*h.key_point(rect, "="))
        h.display.click_now()
        h.wait_for(lambda: h.pad_rect().width == rect.width + h.col and h.edit() == ("Total 12.5", (6, 10)), 3,
                   "the grab after the soak")
        rect = h.pad_rect()
        for key in "*2=":
            self.press(h, rect, key)
        h.expect_edit("Total 25", (6, 8), "the paste of 12.5 x 2 after the soak")
        self.toggle(h, self.lib.HIDE_AT, False, False)

        self.check(before["gdi"] > 0, "no GDI object count could be read: %s" % before)
        self.check(after["gdi"] <= before["gdi"] + 2,
                   "GDI objects grew from %d to %d over %d circles" % (before["gdi"], after["gdi"], circles))
        grown = after["private"] - before["private"]
        self.check(grown < 512 * 1024, "private memory grew by %d KiB over %d circles" % (grown // 1024, circles))
