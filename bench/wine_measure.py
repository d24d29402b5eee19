#!/usr/bin/env python3
"""The running program under Wine, beside a floor program started in the same run.

CPU time (user + system, from /proc/<pid>/stat of each Wine process) over an idle period
and over a period of continuous mouse movement that draws no circle, the context switches
a second at rest (all threads, /proc/<pid>/task/*/status), resident memory,
and the time from the tick that recognises a circle to the end of the pad's first paint
(from the timing build kwix_latency.exe). Reuses the end-to-end harness (tests/e2e/e2e.py)
and its helper program, which tells what the pad window does. Prints one line per figure
and writes them all to <out>/wine.json.
"""

import argparse
import json
import math
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User plus system time of the whole process, all threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def context_switches(pid):
    """Voluntary and involuntary context switches of all the process's threads so far: each
    wake-up of a thread that sleeps in the kernel is at least one."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/status" % (pid, task)) as f:
            total += sum(int(line.split()[1]) for line in f if "ctxt_switches" in line)
    return total


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def command_line(pid):
    with open("/proc/%d/cmdline" % pid, "rb") as f:
        return f.read().replace(b"\0", b" ").decode(errors="replace")


def sweep_arc(seconds):
    """Moves the pointer back and forth along 240 degrees of a circle, one point every
    10 ms, for the given time: every tick adds a sample and the circle test scans the
    whole trail, yet the trail never turns a full turn, so the pad never shows."""
    cx, cy, r = 512, 384, 250
    forth = [(cx + round(r * math.sin(math.radians(240 * i / 200))),
              cy - round(r * math.cos(math.radians(240 * i / 200)))) for i in range(200)]
    path = forth + forth[::-1]
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        cmd = []
        for x, y in path:
            cmd += ["mousemove", x, y, "sleep", 0.01]
        e2e.xdo(*cmd)


WHO = ("kwix", "floor", "poll", "wait")


class Programs:
    """kwix.exe, the floor program, the floor program reading the cursor at every tick
    ("poll") and the floor program without a timer ("wait"), started together."""

    def __init__(self, args, log):
        self.procs = {
            "kwix": subprocess.Popen([args.loader, args.kwix], stdout=log, stderr=log),
            "floor": subprocess.Popen([args.loader, args.floor], stdout=log, stderr=log),
            "poll": subprocess.Popen([args.loader, args.floor, "cursor"], stdout=log, stderr=log),
            "wait": subprocess.Popen([args.loader, args.floor, "wait"], stdout=log, stderr=log),
        }

    def sample(self):
        return {k: cpu_seconds(p.pid) for k, p in self.procs.items()}

    def switches(self):
        return {k: context_switches(p.pid) for k, p in self.procs.items()}

    def rss(self):
        return {k: rss_kib(p.pid) for k, p in self.procs.items()}

    def stop(self, helper):
        helper.ask("quit")
        for k, p in self.procs.items():
            if k != "kwix" and p.poll() is None:
                p.terminate()
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()


def measure_cpu(args, helper, log):
    rounds = []
    for n in range(args.rounds):
        pair = Programs(args, log)
        e2e.wait(helper.state, lambda s: s.found, "the pad window", 30)
        for p in pair.procs.values():
            check_wine_process(p.pid)
        e2e.xdo("mousemove", 960, 720)
        time.sleep(5)  # start-up is not what is measured
        r = {}
        a, sa = pair.sample(), pair.switches()
        time.sleep(args.seconds)
        b, sb = pair.sample(), pair.switches()
        r["idle"] = {k: b[k] - a[k] for k in a}
        r["switches_idle"] = {k: (sb[k] - sa[k]) / args.seconds for k in sa}
        r["rss_idle"] = pair.rss()
        a = pair.sample()
        sweep_arc(args.seconds)
        b = pair.sample()
        r["moving"] = {k: b[k] - a[k] for k in a}
        r["rss_moving"] = pair.rss()
        r["shown"] = helper.state().visible
        pair.stop(helper)
        print("round %d: idle %s; context switches at rest %s; moving %s; RSS %s%s"
              % (n + 1, ", ".join("%s %.2f s" % (k, r["idle"][k]) for k in WHO),
                 ", ".join("%s %.1f/s" % (k, r["switches_idle"][k]) for k in WHO),
                 ", ".join("%s %.2f s" % (k, r["moving"][k]) for k in WHO),
                 ", ".join("%s %d KiB" % (k, r["rss_moving"][k]) for k in WHO),
                 "; the pad showed!" if r["shown"] else ""), flush=True)
        rounds.append(r)
    return rounds


def check_wine_process(pid):
    """The PID that Popen returned must be the Windows process itself, not a launcher."""
    line = command_line(pid)
    if ".exe" not in line:
        raise SystemExit("PID %d is not a Wine program: %s" % (pid, line))


def measure_latency(args, h, log):
    env = dict(os.environ, KWIX_LATENCY_LOG=os.path.join(args.out, "latency.log"))
    if os.path.exists(env["KWIX_LATENCY_LOG"]):
        os.remove(env["KWIX_LATENCY_LOG"])
    kwix = subprocess.Popen([args.loader, args.latency], stdout=log, stderr=log, env=env)
    try:
        e2e.wait(h.state, lambda s: s.found, "the pad window of the timing build", 30)
        for _ in range(args.shows):
            h.toggle(e2e.SHOW, True)
            e2e.xdo(*h.at(*e2e.PARK), "sleep", 0.3)
            h.toggle(e2e.HIDE, False)
        h.ask("quit")
        kwix.wait(timeout=10)
    finally:
        if kwix.poll() is None:
            kwix.kill()
    values = []
    with open(env["KWIX_LATENCY_LOG"]) as f:
        for line in f:
            parts = line.split()
            values.append((float(parts[1]), float(parts[4])))
    return values


def median(xs):
    return statistics.median(xs) if xs else float("nan")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("loader", "kwix", "floor", "latency", "helper", "out"):
        ap.add_argument("--" + name, required=True)
    ap.add_argument("--seconds", type=float, default=60)
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--shows", type=int, default=15)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    log = open(os.path.join(args.out, "wine.log"), "ab")
    # The harness takes its paths from the command line.
    sys.argv[1:] = [args.loader, args.kwix, args.helper, args.out]
    global e2e
    import e2e
    helper = e2e.Wine(os.environ["WINEPREFIX"])
    result = {"seconds": args.seconds}
    try:
        rounds = measure_cpu(args, helper, log)
        values = measure_latency(args, helper, log)
    finally:
        helper.helper.kill()
    result["rounds"] = rounds
    for phase in ("idle", "moving"):
        med = {w: median([r[phase][w] for r in rounds]) for w in WHO}
        med["ratio"] = med["kwix"] / med["floor"] if med["floor"] else float("inf")
        med["ratio_poll"] = med["kwix"] / med["poll"] if med["poll"] else float("inf")
        result[phase] = med
        print("cpu %s over %.0f s (median of %d): kwix %.3f s, floor %.3f s (ratio %.2f), floor reading the"
              " cursor %.3f s (ratio %.2f)" % (phase, args.seconds, len(rounds), med["kwix"], med["floor"],
                                              med["ratio"], med["poll"], med["ratio_poll"]))
    sw = {w: median([r["switches_idle"][w] for r in rounds]) for w in WHO}
    result["switches_idle"] = sw
    print("context switches a second at rest (median of %d): kwix %.1f, waiting floor %.1f, floor with the"
          " timer %.1f, floor reading the cursor %.1f (kwix %.1f %% of it)"
          % (len(rounds), sw["kwix"], sw["wait"], sw["floor"], sw["poll"], 100 * sw["kwix"] / sw["poll"]))
    wait_cpu = median([r["idle"]["wait"] for r in rounds])
    print("cpu idle of the waiting floor: %.3f s" % wait_cpu)
    for phase in ("rss_idle", "rss_moving"):
        result[phase] = {w: median([r[phase][w] for r in rounds]) for w in WHO}
        print("%s: %s" % (phase, ", ".join("%s %d KiB" % (w, result[phase][w]) for w in WHO)))
    result["latency_ms"] = [v[0] for v in values]
    result["tick_ms"] = [v[1] for v in values]
    print("latency: circle-recognising tick to end of first paint, median %.2f ms, max %.2f ms over %d shows"
          " (the tick itself: median %.2f ms)"
          % (median(result["latency_ms"]), max(result["latency_ms"] or [float("nan")]), len(values),
             median(result["tick_ms"])))
    with open(os.path.join(args.out, "wine.json"), "w") as f:
        json.dump(result, f, indent=1)
    log.close()


if __name__ == "__main__":
    main()
