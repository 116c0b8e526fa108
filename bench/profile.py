#!/usr/bin/env python3
"""Where the game's CPU time goes, next to the replay floor's: each program
runs under the display of DISPLAY, and once it shows its first screen (the
title) or, with "world", 10 s after a click, the world view with an encounter
open, perf samples it for SECONDS with the kernel's CPU clock (it needs no
hardware counters, which virtual machines often lack). Printed per program:
the frames drawn, CPU seconds per 10 s and per thread, and the share of the
samples by library and by function.

Usage: xvfb-run -a -s "-screen 0 1024x768x24" bench/profile.py BUILD_DIR [SECONDS] [title|world]
(bench/run.sh has built the programs, the probe and the recording.)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
SCREEN = sys.argv[3] if len(sys.argv) > 3 else "title"
PROBE = os.path.join(BUILD, "bench", "probe.so")
PROGRAMS = {
    "game": [os.path.join(BUILD, "bin", "dunmark")],
    "replay": [os.path.join(BUILD, "bench", "replay"), os.path.join(BUILD, "bench", "frames.txt")],
}
CLK_TCK = os.sysconf("SC_CLK_TCK")
# The seed the recording was made with (bench.py keeps it beside it): the
# game, seeded alike through DUNMARK_SEED, draws the recorded frames.
with open(os.path.join(BUILD, "bench", "frames.seed")) as seed_file:
    SEED = seed_file.read().strip()


def swaps(probe):
    try:
        with open(probe) as f:
            return sum(1 for line in f if line.startswith("swap"))
    except FileNotFoundError:
        return 0


def wait_swaps(probe, count, timeout=60.0):
    deadline = time.monotonic() + timeout
    while swaps(probe) < count:
        if time.monotonic() > deadline:
            raise SystemExit(f"no frame {count} within {timeout} s")
        time.sleep(0.05)


def thread_ticks(pid):
    ticks = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/stat") as f:
                text = f.read()
        except FileNotFoundError:
            continue
        fields = text.rsplit(")", 1)[1].split()
        name = text[text.index("(") + 1:text.rindex(")")]
        ticks[int(tid)] = (name, int(fields[11]) + int(fields[12]))
    return ticks


def report(data, sort):
    out = subprocess.run(["perf", "report", "-i", data, "--stdio", "--sort", sort,
                          "--percent-limit", "0.3"], capture_output=True, text=True).stdout
    return [line for line in out.splitlines() if line.strip() and not line.startswith("#")]


def run(name, command):
    work = tempfile.mkdtemp(prefix="dunmark-profile-")
    os.makedirs(os.path.join(work, "bin"))
    os.symlink(os.path.join(BUILD, "gfx"), os.path.join(work, "gfx"))
    probe = os.path.join(work, "probe.txt")
    data = os.path.join(work, "perf.data")
    env = dict(os.environ, LD_PRELOAD=PROBE, DUNMARK_PROBE_FILE=probe, DUNMARK_SEED=SEED,
               ALSOFT_DRIVERS="null")
    proc = subprocess.Popen(command, cwd=os.path.join(work, "bin"), env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_swaps(probe, 3 if name == "game" else 1)
        time.sleep(1.0)
        if SCREEN == "world":
            subprocess.run(["xdotool", "mousemove", "512", "384", "mousedown", "1"])
            time.sleep(0.1)
            subprocess.run(["xdotool", "mouseup", "1"])
            time.sleep(10.0)
        first, before, t0 = swaps(probe), thread_ticks(proc.pid), time.monotonic()
        subprocess.run(["perf", "record", "-q", "-e", "cpu-clock", "-F", "997", "-p", str(proc.pid),
                        "-o", data, "--", "sleep", str(SECONDS)], capture_output=True)
        elapsed = time.monotonic() - t0
        frames, after = swaps(probe) - first, thread_ticks(proc.pid)
    finally:
        proc.kill()
        proc.wait()
    total = sum(t for _, t in after.values()) - sum(t for _, t in before.values())
    print(f"== {name}, {SCREEN}: {frames / elapsed:.1f} frames a second, "
          f"{total / CLK_TCK * 10.0 / elapsed:.2f} CPU s per 10 s")
    for tid, (thread, ticks) in sorted(after.items()):
        spent = (ticks - before.get(tid, (thread, 0))[1]) / CLK_TCK * 10.0 / elapsed
        if spent >= 0.01:
            print(f"  thread {tid - proc.pid} ({thread}): {spent:.2f} CPU s per 10 s")
    print("  -- by library")
    print("\n".join(report(data, "dso")))
    print("  -- by function")
    print("\n".join(report(data, "dso,sym")[:25]))
    shutil.rmtree(work, ignore_errors=True)


def main():
    if "DISPLAY" not in os.environ:
        raise SystemExit("no display: run under xvfb-run -a")
    for name, command in PROGRAMS.items():
        run(name, command)


if __name__ == "__main__":
    main()
