#!/usr/bin/env python3
# End-to-end scenarios: the real kwix.exe under Wine, driven through X like a user. xdotool
# moves and clicks the pointer; kwix_e2e.exe is the application the pad types into and tells
# what X cannot (the pad window, the focus, its EDIT, the clipboard); colours come from X
# screenshots. run.sh passes: loader kwix.exe kwix_e2e.exe artifacts. A script that imports
# this harness sets sys.argv first.
import contextlib, math, os, re, select, subprocess, sys, time  # noqa: E401
from types import SimpleNamespace

LOADER, KWIX, HELPER, ART = sys.argv[1:5]
INI, LOG = os.path.splitext(KWIX)[0] + ".ini", open(os.path.join(ART, "wine.log"), "ab")
SHOW, HIDE, PARK = (620, 440), (300, 520), (960, 720)  # all away from the target, top left
KEYS = "789/456*123-0.=+"  # the key grid row by row; its last column in calculator mode only
STATE = "found visible left top width height exstyle key alpha pid row cx cy focus start end ctrlc copymode".split()


def wait(get, ok, what, secs=3):  # polls get() until ok(value); fails with the last value seen
    end = time.monotonic() + secs
    while not ok(got := get()) and time.monotonic() < end:
        time.sleep(0.01)
    assert ok(got), "%s: still %s after %.1f s" % (what, got, secs)
    return got


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=60)


class Wine:  # one prefix: kwix_e2e.exe, the target asked one line at a time, and kwix.exe, in a locale
    def __init__(self, prefix, lang=None):
        self.env, self.kwix = dict(os.environ, WINEPREFIX=prefix, **({"LANG": lang, "LC_ALL": lang} if lang else {})), None
        xdo("mousemove", 500, 400)  # X = Win32 + where the virtual desktop lies
        for _ in range(3):  # now and then Wine fails to start a process at all
            self.helper = subprocess.Popen([LOADER, HELPER], env=self.env, stdin=subprocess.PIPE,
                                           stdout=subprocess.PIPE, stderr=LOG, text=True, encoding="utf-8")
            with contextlib.suppress(OSError, ValueError):
                s = wait(self.state, lambda s: s.focus, "the target in front with the focus", 20)
                break
        self.row, self.col, self.offset = s.row, (s.row * 8 + 3) // 6, (500 - s.cx, 400 - s.cy)  # MulDiv(row, 4, 3)
        # Injected keypad keys type digits only with X's NumLock on and a real key seen after it by the target.
        xset = subprocess.run(["xset", "q"], capture_output=True, text=True).stdout
        xdo(*(["key", "Num_Lock"] if re.search(r"Num Lock:\s+off", xset) else []), "type", "x", "sleep", 0.1)

    def ask(self, line):
        print(line, file=self.helper.stdin, flush=True)
        assert select.select([self.helper.stdout], [], [], 20)[0], "kwix_e2e.exe did not answer " + line
        return self.helper.stdout.readline().rstrip("\n")

    def state(self):  # the pad window and the EDIT
        *numbers, text = self.ask("state").split(" ", len(STATE))
        return SimpleNamespace(**dict(zip(STATE, map(int, numbers), strict=True)), text=text)

    def expect(self, text, sel, what):  # the EDIT comes to hold text, sel selected, and keeps the focus
        wait(self.state, lambda s: (s.focus, s.text, s.start, s.end) == (1, text, *sel),
             "%s: expected %r, %s" % (what, text, sel))

    def at(self, x, y):  # the pointer to a Win32 screen point
        return "mousemove", x + self.offset[0], y + self.offset[1]

    def key(self, k):
        s, i = self.state(), KEYS.index(k)
        return self.at(s.left + 5 + int((i % 4 + 0.5) * self.col), s.top + 5 + int((i // 4 + 1.5) * self.row))

    def refused(self, what, text, caret, width):  # "=" left the text and its caret, the pad in keypad mode
        time.sleep(0.5)  # the grab, and keys the pad might send after it
        wait(self.state, lambda q: (q.text, q.start, q.end, q.width) == (text, caret, caret, width),
             "= %s: the text and caret as they were, the pad in keypad mode" % what)

    def click(self, keys, button=1):
        xdo(*[a for k in keys for a in (*self.key(k), "sleep", 0.03, "click", button, "sleep", 0.05)], *self.at(*PARK))

    # Turns around `at` clockwise from the top, a point per 10 ms tick of the program's sampler,
    # wide enough to stay off the pad it shows (a pointer crossing the pad too fast leaves hover
    # colours stuck under Wine). Returns how late the drawing ran: a gap ends a gesture.
    def draw(self, at, turns):
        r, n, t0 = round(math.hypot(4 * self.col + 10, 5 * self.row + 10) / 2) + 8, round(45 * turns), time.monotonic()
        points = [(at[0] + round(r * math.sin(a)), at[1] - round(r * math.cos(a))) for a in
                  (2 * math.pi * k / 45 for k in range(n + 1))]  # three ticks at rest first: a fresh trail
        xdo(*self.at(*points[0]), "sleep", 0.1, *[a for p in points[1:] for a in (*self.at(*p), "sleep", 0.01)])
        return time.monotonic() - t0 - 0.1 - 0.01 * n

    # A circle that shows the pad in its place, or hides it.
    # left = cx - MulDiv(ColWidth, 3, 2) - Margin, top = cy + MulDiv(RowHeight, 5, 2) + Margin - height
    def toggle(self, at, visible, turns=1.1):
        late = self.draw(at, turns)
        s = wait(self.state, lambda s: s.visible == visible, "a circle around %s drawn %.2f s late" % (at, late), 1.5)
        want = (at[0] - (3 * self.col + 1) // 2 - 5, at[1] + (5 * self.row + 1) // 2 - 5 * self.row - 5,
                3 * self.col + 10, 5 * self.row + 10)
        assert not visible or abs(s.left - want[0]) <= 2 and abs(s.top - want[1]) <= 2 and (
            s.width, s.height) == want[2:], "a circle around %s showed %s, expected at %s" % (at, s, want)
        return s

    def baseline(self):  # program running, pad hidden, target normal with an empty EDIT, kwix.ini gone
        for _ in range(3):  # now and then Wine fails to start a process at all
            if self.kwix and self.kwix.poll() is None:
                break
            self.kwix = subprocess.Popen([LOADER, KWIX], env=self.env, stdout=LOG, stderr=LOG)
            wait(lambda: self.kwix.poll() is not None or self.state().found, bool, "the pad window of a new copy", 20)
        if (s := self.state()).visible:  # a right click on the margin hides it
            xdo(*self.at(s.left + 2, s.top + s.height // 2), "click", 3, *self.at(*PARK))
        self.ask("mode edit")
        self.ask("set ")
        with contextlib.suppress(FileNotFoundError):
            os.remove(INI)
        wait(self.state, lambda s: not s.visible, "a right click to hide the pad")


def typical_use(h):
    # Start; a second start does nothing; show; every keypad key; = grabs 1,234.56; x 2 =, 1 / 3 =, 1 / 0 = paste
    # over it, selected, and tell clipboard monitors, history and cloud to leave it alone; a second circle hides;
    # = on a word leaves it as it was, the caret back at its end, in keypad mode; a right click on a key hides. The
    # target keeps the focus.
    s, t0 = h.state(), time.monotonic()  # the program has just started
    assert s.found and not s.visible and s.exstyle & 0x08080008 == 0x08080008 and (s.key, s.alpha) == (
        0xFF00FF, 128), "right after start the pad window is %s (extended style, colour key, alpha)" % s
    code = subprocess.run([LOADER, KWIX], env=h.env, stdout=LOG, stderr=LOG, timeout=20).returncode
    assert code == 0 and time.monotonic() - t0 < 3 and h.state().pid == s.pid, "a second copy ended with code " \
        "%d after %.1f s, the first copy's pad now %s" % (code, time.monotonic() - t0, h.state())
    h.toggle(SHOW, True)
    h.click("7894561230.")
    h.expect("7894561230.", (11, 11), "every keypad key clicked in turn after showing the pad")
    h.ask("set Total 1,234.56")
    for keys, result in (("=", "1,234.56"), ("*2=", "2469.12"), ("1/3=", "0.333333333333333"), ("1/0=", "INF")):
        h.click(keys)
        h.expect("Total " + result, (6, 6 + len(result)), "the grab or result of " + keys)
    clip = h.ask("clip")  # the three formats that keep it out of monitors, history and the cloud, then the text
    assert clip == "1 1 1 INF", "after a paste of INF the clipboard holds %r" % clip
    h.toggle(HIDE, False)
    h.expect("Total INF", (6, 9), "a second circle")
    s = h.toggle(SHOW, True)
    h.ask("set Total abc")
    h.click("=")
    h.refused("on a word", "Total abc", 9, s.width)
    xdo(*h.key("5"), "click", 3, *h.at(*PARK))
    wait(h.state, lambda q: not q.visible, "a right click on a key to hide the pad")
    wait(h.state, lambda q: (q.focus, q.text) == (1, "Total abc"), "the target's focus and text after a right click")


def grab_is_safe(h):
    # "=" in keypad mode where a grab could do harm: a terminal gets no Ctrl+C and the pad stays in keypad mode (its
    # digits still type there); a program whose copies come 900 ms late keeps its number through = x 2 =; while
    # another program's window holds the clipboard the text and the caret stay; a grid leaves its copy mode, so its
    # next Enter pastes nothing.
    s = h.toggle(SHOW, True)

    h.ask("mode console")
    h.ask("set dir 12")
    h.click("=")
    h.refused("in a terminal", "dir 12", 6, s.width)
    assert h.state().ctrlc == 0, "a terminal took Ctrl+C"
    h.click("5")
    h.expect("dir 125", (7, 7), "a digit in a terminal")
    h.ask("mode late")
    h.ask("set Total 12.5| EUR")
    h.click("=")
    # The pad waits for both copies: clicks on it before then would reach Wine's desktop instead.
    wait(h.state, lambda q: (q.text, q.start, q.end, q.width) == ("Total 12.5 EUR", 6, 10, s.width + h.col),
         "= with copies 900 ms late", 6)
    h.click("*2=")
    h.expect("Total 25 EUR", (6, 8), "x 2 = after copies 900 ms late")
    h.click("5", button=2)  # back to keypad mode
    h.ask("mode edit")
    h.ask("set Total 12.5| EUR")
    assert h.ask("hold") == "1", "cannot hold the clipboard open"
    h.click("=")
    h.refused("with the clipboard held", "Total 12.5 EUR", 10, s.width)
    h.ask("release")
    h.ask("mode grid")
    h.ask("set 1")
    h.click("=")
    h.refused("in a grid", "1", 1, s.width)
    assert h.state().copymode == 0, "the grid is still in copy mode"
    xdo("key", "Return", "sleep", 0.2)
    h.expect("1", (1, 1), "Enter in the grid after =")


def grab_everywhere(h):
    # "=" takes the number before the caret, and only it: in a web form, where a plain Right collapses a selection
    # to its end; where the page's process copies 700 ms after Ctrl+C (the number is taken at the next key); beside
    # a clipboard history tool that holds the clipboard 40 ms after every change.
    s = h.toggle(SHOW, True)
    for what, mode, tool, field, number, result in (
            ("in a web form", "browser", "off", "Total 12.5| 3000 x", "12.5", "25"),
            ("where the page copies late", "page", "off", "Total 12.5|", "12.5", "25"),
            ("beside a clipboard tool", "edit", "on", "Total 7| EUR", "7", "14")):
        h.ask("mode " + mode)
        h.ask("tool " + tool)
        h.ask("set " + field)
        h.click("=")
        text, end = field.replace("|", ""), 6 + len(number)
        # The pad waits for the copies: a click on it before then would reach Wine's desktop.
        wait(h.state, lambda q: (q.text, q.start, q.end, q.width) == (text, 6, end, s.width + h.col), "= " + what, 4)
        h.click("*2=")
        h.expect(text.replace(number, result, 1), (6, 6 + len(result)), "x 2 = " + what)
        h.click("5", button=2)  # back to keypad mode
    h.ask("tool off")


def japanese(h):
    # On a Japanese Windows (code page 932, two bytes a character in single-byte text) "=" counts characters: a word
    # after the number is refused with the caret after it, and the next digit types there; a number before an
    # ideographic space is taken, and its result replaces it alone.
    h.ask("quit")
    h.kwix.wait(timeout=5)
    j = Wine(os.environ["WINEPREFIX"], "ja_JP.UTF-8")
    try:
        j.baseline()
        s = j.toggle(SHOW, True)
        j.ask("set 合計 12.5円| x")
        j.click("=")
        j.refused("on a word of Japanese text", "合計 12.5円 x", 8, s.width)
        j.click("5")
        j.expect("合計 12.5円5 x", (9, 9), "a digit after = on a word")
        j.ask("set 金額 12.5|\u3000円 x")
        j.click("=")
        wait(j.state, lambda q: (q.start, q.end, q.width) == (3, 7, s.width + j.col), "= before an ideographic space")
        j.click("*2=")
        j.expect("金額 25\u3000円 x", (3, 5), "x 2 = before an ideographic space")
    finally:
        j.ask("quit")
        j.kwix.wait(timeout=5)
        j.helper.stdin.close()
        j.helper.wait(timeout=10)


def keeps_clipboard(h):
    # KeepClipboard = yes: what the user had copied (a text and a private format) is on the clipboard again after
    # "=" on "Total 12.5" and after x 2 =, which leave "Total 25" in the target; also where the target reads its
    # copies and pastes 900 ms late. Then the time "=" and x 2 = take with 4 MiB of text and an 8 MiB image copied.
    open(INI, "w").write("KeepClipboard = yes\n")
    s = h.toggle(SHOW, True)
    users = "invoice 4711 " + b"\x01\x00\xffprivate".hex()

    def kept(what, want):
        wait(lambda: h.ask("kept"), lambda k: k == want, "the clipboard " + what, 3)
    for mode in ("edit", "late"):
        h.ask("mode " + mode)
        h.ask("fill invoice 4711")
        h.ask("set Total 12.5")
        h.click("=")
        wait(h.state, lambda q: (q.start, q.end, q.width) == (6, 10, s.width + h.col), "= (%s)" % mode, 4)
        kept("after = (%s)" % mode, users)
        h.click("*2=")
        h.expect("Total 25", (6, 8), "x 2 = (%s)" % mode)
        kept("after x 2 = (%s)" % mode, users)
        h.click("5", button=2)  # back to keypad mode
    h.ask("mode edit")
    h.ask("fill big")
    h.ask("set Total 12.5")
    t0 = time.monotonic()
    h.click("=")
    wait(h.state, lambda q: (q.start, q.end, q.width) == (6, 10, s.width + h.col), "= with a large clipboard")
    grabbed, t0 = time.monotonic() - t0, time.monotonic()
    kept("after = with a large clipboard", "4194304 none")
    h.click("*2=")
    h.expect("Total 25", (6, 8), "x 2 = with a large clipboard")
    kept("after x 2 = with a large clipboard", "4194304 none")
    print("keeps_clipboard: with 4 MiB of text and an 8 MiB image kept, = took %.2f s to the calculator, x 2 = %.2f s"
          " until the clipboard was back (clicks included)" % (grabbed, time.monotonic() - t0), flush=True)


def settings(h):
    # kwix.ini written beside the program takes effect at the next showing; a missing one, or
    # one another program holds open for writing, gives the defaults. COLORREF is 0x00BBGGRR.
    for name, want in zip(("written", "missing", "rewritten", "locked"), [(255, 0, 0), (0, 0, 0)] * 2):
        if name != "missing":  # the baseline after each showing removes kwix.ini
            open(INI, "w").write("BGColor = 0x0000FF\n")
        assert name != "locked" or h.ask("lock Z:" + INI.replace("/", "\\")) == "1", "cannot hold kwix.ini open"
        s = h.toggle(SHOW, True)
        crop = "1x1+%d+%d" % h.at(s.left + 3, s.top + s.height // 2)[1:]  # the left margin
        got = subprocess.run(["import", "-window", "root", "-crop", crop, "-depth", "8", "txt:-"], capture_output=True,
                             text=True, timeout=30).stdout
        assert "(%d,%d,%d" % want in got, "kwix.ini %s: the background is %s, expected %s" % (name, got, want)
        h.baseline()


def private_kib(pid):  # the program's private memory as Linux counts it for the Wine process
    return int(re.search(r"RssAnon:\s+(\d+)", open("/proc/%d/status" % pid).read()).group(1))


def soak(h):  # KWIX_E2E_CIRCLES circles (8 unless set) each toggle the pad, and its private memory stays put
    h.toggle(SHOW, True)  # the first showing loads the font and fills Wine's caches
    h.toggle(HIDE, False)
    before, circles = private_kib(h.kwix.pid), max(2, int(os.environ.get("KWIX_E2E_CIRCLES", 8)) // 2 * 2)
    for i in range(circles):
        h.toggle(HIDE if i % 2 else SHOW, not i % 2)
    grown = private_kib(h.kwix.pid) - before
    print("soak: %d circles, private memory %d KiB, grown by %d KiB" % (circles, before, grown), flush=True)
    # 0 KiB in a sound run; a background bitmap leaked at every showing grew 88 KiB over 8 circles.
    assert grown <= 48, "after %d circles the program's private memory grew by %d KiB" % (circles, grown)
    h.toggle(SHOW, True)
    h.click("5")  # then it still types, and WM_QUIT ends it with code 0
    h.expect("5", (1, 1), "a key after the circles")
    h.ask("quit")
    assert h.kwix.wait(timeout=5) == 0, "after WM_QUIT the program ended with code %d" % h.kwix.returncode


def quiet_at_rest(h):  # the sampler sleeps at rest, and the first circle after a rest still counts
    def switches():  # context switches of all of kwix.exe's threads so far
        task = "/proc/%d/task/" % h.kwix.pid
        return sum(int(line.split()[1]) for t in os.listdir(task) for line in open(task + t + "/status")
                   if "ctxt_switches" in line)
    rested, shown = [], None
    for at, visible in ((SHOW, True), (HIDE, False)):  # circles from where the pointer rested 3 s
        h.draw(at, 0)
        time.sleep(2)
        n = switches()
        time.sleep(1)
        rested.append(switches() - n)
        s = h.toggle(at, visible)
        assert s.focus, "the target lost the focus to a circle after a rest"
        shown = shown or s
    # A program polling the cursor every 10 ms switches about 900 times a second under Wine.
    assert max(rested) < 45, "kwix.exe switched context %s times in a second at rest" % rested
    # Circles drawn with SetCursorPos make no device input: one awake (0.1 s after the move to PARK ends
    # its trail), two after rests that end at two phases of the backup tick, which has to wake the pad.
    points = []
    for rest in (0.1, 3, 3.25):
        xdo(*h.at(*PARK), "sleep", rest)
        n, gap = map(int, h.ask("circle %d %d 100" % SHOW).split())
        points.append(n)
        s = h.state()
        assert s.visible and max(abs(s.left - shown.left), abs(s.top - shown.top)) <= 2, "a SetCursorPos circle " \
            "%.2f s after a rest: the pad %s after %d points (longest gap %d ms)" % (rest, s, n, gap)
        h.toggle(HIDE, False)
    print("quiet_at_rest: %s context switches in 1 s at rest; a SetCursorPos circle shows the pad after %d points"
          " awake, %d and %d after rests" % (rested, *points), flush=True)


def control_from_outside(h):
    # kwix.exe /toggle shows the pad with its "5" under the pointer, then hides it, the target keeping the focus;
    # /quit ends the running copy; then /quit fails with 1, and /toggle starts a copy that shows the pad.
    def run(switch):  # a second copy's exit code
        return subprocess.run([LOADER, KWIX, switch], env=h.env, stdout=LOG, stderr=LOG, timeout=30).returncode

    def toggled(visible):
        s = wait(h.state, lambda s: s.visible == visible, "the pad %s" % ("shown" if visible else "hidden"))
        assert not visible or (0 <= s.cx - s.left - 5 - h.col < h.col and 0 <= s.cy - s.top - 5 - 2 * h.row < h.row), \
            "the pointer at (%d, %d) is not on the 5 key of the pad at %s" % (s.cx, s.cy, s)
        h.expect("", (0, 0), "/toggle")
    xdo(*h.at(*SHOW))
    for visible in (True, False):
        assert (code := run("/toggle")) == 0, "/toggle ended with %d" % code
        toggled(visible)
    assert (code := run("/quit")) == 0 and h.kwix.wait(timeout=5) == 0 and not h.state().found, \
        "/quit ended with %d, the running copy with %s, its pad %s" % (code, h.kwix.poll(), h.state())
    assert (code := run("/quit")) == 1, "/quit with no copy running ended with %d" % code
    h.kwix = subprocess.Popen([LOADER, KWIX, "-TOGGLE"], env=h.env, stdout=LOG, stderr=LOG)
    toggled(True)


if __name__ == "__main__":  # scripts/screenshots.py and bench/wine_measure.py import the harness
    h, failed = Wine(os.environ["WINEPREFIX"]), 0
    scenarios = (typical_use, grab_is_safe, grab_everywhere, japanese, keeps_clipboard, settings, soak, quiet_at_rest,
                 control_from_outside)
    for scenario in scenarios:
        t0, shot, error = time.monotonic(), os.path.join(ART, scenario.__name__ + ".png"), ""
        try:
            h.baseline()
            scenario(h)
        except Exception as e:  # noqa: BLE001 -- whatever goes wrong fails the scenario, not the run
            failed, error = failed + 1, ": %s: %s [%s]" % (type(e).__name__, e, shot)
        subprocess.run(["import", "-window", "root", shot], timeout=30)  # the screen as the scenario left it
        print("FAIL" if error else "PASS", scenario.__name__, "(%.1f s)%s" % (time.monotonic() - t0, error), flush=True)
    print("%d passed, %d failed" % (len(scenarios) - failed, failed))
    sys.exit(1 if failed else 0)
