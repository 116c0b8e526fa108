#!/usr/bin/env python3
"""Measures the game against two floors, all under the same Xvfb with Mesa's
software OpenGL, and writes the table to BENCHMARKS.md:
- the clearing floor (floor.cpp), a bare FLTK OpenGL window that only clears
  and redraws at 60 Hz;
- the replay floor (replay.cpp), a bare FLTK OpenGL window that draws the
  game's own recorded frames (record_frames.cpp) at 60 Hz with raw OpenGL.
Each program gets the same protocol: 10 s on its first screen, a click at the
window's centre, 10 s on the world view with an encounter open.

Usage: bench/bench.py BUILD_DIR [RUNS]
"""
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 3
TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROBE = os.path.join(BUILD, "bench", "probe.so")
GAME = os.path.join(BUILD, "bin", "dunmark")
FLOOR = os.path.join(BUILD, "bench", "floor")
REPLAY = os.path.join(BUILD, "bench", "replay")
FRAMES = os.path.join(BUILD, "bench", "frames.txt")
FRAME_TIME = os.path.join(BUILD, "bench", "frame_time")
SCREEN = (1024, 768)
WINDOW = ((SCREEN[0] - 640) // 2, (SCREEN[1] - 480) // 2)
CLK_TCK = os.sysconf("SC_CLK_TCK")


def start_xvfb():
    for n in range(500, 600):
        if not os.path.exists(f"/tmp/.X{n}-lock"):
            proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                                     "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            env = dict(os.environ, DISPLAY=f":{n}")
            for _ in range(100):
                if subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0:
                    return proc, env
                time.sleep(0.05)
            proc.kill()
    raise SystemExit("cannot start Xvfb")


def read_probe(path):
    events = []
    try:
        with open(path) as f:
            for line in f:
                what, stamp = line.split()
                events.append((what, float(stamp)))
    except FileNotFoundError:
        pass
    return events


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def peak_rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def wait_swaps(probe, count, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        swaps = [t for what, t in read_probe(probe) if what == "swap"]
        if len(swaps) >= count:
            return swaps
        time.sleep(0.002)
    raise SystemExit(f"no frame {count} within {timeout} s")


def xdotool(env, *args):
    subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True)


def click(env, x, y):
    xdotool(env, "mousemove", str(WINDOW[0] + x), str(WINDOW[1] + y), "mousedown", "1")
    time.sleep(0.1)
    xdotool(env, "mouseup", "1")


def thread_seconds(pid):
    """CPU seconds of each thread: the main thread as "main", Mesa's
    rasterizer threads added up as "llvmpipe", the others by name and order of
    creation (a thread takes its creator's name unless it sets its own)."""
    by_name = {}
    seen = {}
    for tid in sorted(os.listdir(f"/proc/{pid}/task"), key=int):
        try:
            with open(f"/proc/{pid}/task/{tid}/stat") as f:
                text = f.read()
        except FileNotFoundError:
            continue
        name = text[text.index("(") + 1:text.rindex(")")]
        if int(tid) == pid:
            name = "main"
        elif name.startswith("llvmpipe"):
            name = "llvmpipe"
        else:
            seen[name] = seen.get(name, 0) + 1
            name = f"{name} #{seen[name]}"
        fields = text.rsplit(")", 1)[1].split()
        by_name[name] = by_name.get(name, 0.0) + (int(fields[11]) + int(fields[12])) / CLK_TCK
    return by_name


def frames_per_second(probe, begin, end):
    swaps = [t for what, t in read_probe(probe) if what == "swap" and begin <= t <= end]
    return (len(swaps) - 1) / (swaps[-1] - swaps[0]) if len(swaps) > 1 else 0.0


def measure_cpu(pid, seconds):
    """CPU s per 10 s of the process, and of its threads by name."""
    before, threads_before = cpu_seconds(pid), thread_seconds(pid)
    t0 = time.monotonic()
    time.sleep(seconds)
    scale = 10.0 / (time.monotonic() - t0)
    threads = thread_seconds(pid)
    per_thread = {name: (threads[name] - threads_before.get(name, 0.0)) * scale for name in threads}
    return (cpu_seconds(pid) - before) * scale, per_thread


def tick_pacing(probe, begin, end):
    awakes = [t for what, t in read_probe(probe) if what == "awake" and begin <= t <= end]
    if len(awakes) < 2:
        return 0.0, 0.0
    intervals = sorted((b - a) * 1000.0 for a, b in zip(awakes, awakes[1:]))
    p99 = intervals[min(len(intervals) - 1, int(round(0.99 * (len(intervals) - 1))))]
    return (len(awakes) - 1) / (awakes[-1] - awakes[0]), p99


def cpu_ms_per_frame(cpu_per_10s, fps):
    return cpu_per_10s * 100.0 / fps if fps > 0 else 0.0


def one_run(env, command, is_game):
    work = tempfile.mkdtemp(prefix="dunmark-bench-")
    os.makedirs(os.path.join(work, "bin"))
    os.symlink(os.path.join(BUILD, "gfx"), os.path.join(work, "gfx"))
    probe = os.path.join(work, "probe.txt")
    run_env = dict(env, LD_PRELOAD=PROBE, DUNMARK_PROBE_FILE=probe, ALSOFT_DRIVERS="null")
    t0 = time.monotonic()
    proc = subprocess.Popen(command, cwd=os.path.join(work, "bin"), env=run_env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    first_frame = 3 if is_game else 1   # the game: loading frame, start-up frame, title
    swaps = wait_swaps(probe, first_frame)
    result = {
        "startup_end": (swaps[first_frame - 2 if is_game else 0] - t0) * 1000.0,
        "first_frame": (swaps[first_frame - 1] - t0) * 1000.0,
    }
    time.sleep(1.0)
    begin = time.monotonic()
    result["cpu_title"], result["threads_title"] = measure_cpu(proc.pid, 10.0)
    result["fps_title"] = frames_per_second(probe, begin, time.monotonic())
    result["ms_title"] = cpu_ms_per_frame(result["cpu_title"], result["fps_title"])
    click(env, 320, 240)
    time.sleep(5.0)   # world card, the walk, the panel opening: an encounter is open
    begin = time.monotonic()
    result["cpu_encounter"], result["threads_encounter"] = measure_cpu(proc.pid, 10.0)
    end = time.monotonic()
    result["tps"], result["p99"] = tick_pacing(probe, begin, end)
    result["fps_encounter"] = frames_per_second(probe, begin, end)
    result["ms_encounter"] = cpu_ms_per_frame(result["cpu_encounter"], result["fps_encounter"])
    result["rss"] = peak_rss_mb(proc.pid)
    proc.kill()
    proc.wait()
    shutil.rmtree(work, ignore_errors=True)
    return result


def frame_time(env):
    out = subprocess.run([FRAME_TIME], cwd=os.path.join(BUILD, "bin"), env=env,
                         capture_output=True, text=True, check=True).stdout
    return float(out.split()[-1])


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        mem = int(f.readline().split()[1]) // 1024
    return f"{model}, {os.cpu_count()} cores, {mem} MB, Linux {platform.release()}"


def verdict(kind, game, floor, limit):
    if kind == "ratio":
        return f"{game / floor:.2f}", "met" if game <= limit * floor else "not met"
    return f"+{game - floor:.1f} MB", "met" if game - floor <= limit else "not met"


def thread_rows(results, who):
    names = sorted({name for r in results[who] for name in r["threads_encounter"]})
    rows = []
    for name in names:
        title, world = (statistics.median(r[key].get(name, 0.0) for r in results[who])
                        for key in ("threads_title", "threads_encounter"))
        if max(title, world) >= 0.005:
            rows.append(f"| {who} | {name} | {title:.2f} | {world:.2f} |")
    return rows


def main():
    xvfb, env = start_xvfb()
    try:
        results = {"game": [], "floor": [], "replay": []}
        for run in range(RUNS):
            results["floor"].append(one_run(env, [FLOOR], False))
            results["replay"].append(one_run(env, [REPLAY, FRAMES], False))
            results["game"].append(one_run(env, [GAME], True))
            print(f"run {run + 1}/{RUNS} done", flush=True)
        frame_ms = statistics.median(frame_time(env) for _ in range(3))
    finally:
        xvfb.kill()

    def med(who, key):
        return statistics.median(r[key] for r in results[who])

    # label, key, kind, goal against the clearing floor, goal against the replay
    rows = [
        ("start-up to the first game frame (ms)", "first_frame", "ratio", 1.3, 1.05),
        ("start-up to its end (ms)", "startup_end", "ratio", 1.3, 1.05),
        ("CPU s per 10 s, title screen", "cpu_title", "ratio", 1.5, 1.05),
        ("CPU s per 10 s, world view with an encounter", "cpu_encounter", "ratio", 1.5, 1.05),
        ("CPU ms per frame drawn, title screen", "ms_title", "ratio", 1.5, 1.05),
        ("CPU ms per frame drawn, world view", "ms_encounter", "ratio", 1.5, 1.05),
        ("peak resident memory (MB)", "rss", "diff", 10.0, 15.0),
    ]
    lines = [
        "# Benchmarks",
        "",
        f"Measured by `bash bench/run.sh` on {time.strftime('%Y-%m-%d')}: {machine()}; "
        f"Xvfb {SCREEN[0]}x{SCREEN[1]}, Mesa software OpenGL, OpenAL Soft null output. "
        f"Each figure is the median of {RUNS} runs. The machine is shared with other engineers' "
        "builds and test runs while it measures: CPU seconds are what each program itself used, "
        "but start-up times are wall time and move with the load.",
        "",
        "Two floors: the clearing floor (`bench/floor.cpp`) only clears its window; the replay floor "
        "(`bench/replay.cpp`) draws the game's own frames, recorded once by the game's drawing code "
        "(`bench/record_frames.cpp`), with raw OpenGL calls in the renderer's order, without engines, "
        "game thread or sound. The replay's start-up is its first frame.",
        "",
        "| figure | game | clearing floor | game / clearing | goal | verdict "
        "| replay floor | game / replay | goal | verdict |",
        "|---|---|---|---|---|---|---|---|---|---|",
    ]
    for label, key, kind, goal_clear, goal_replay in rows:
        g, f, r = med("game", key), med("floor", key), med("replay", key)
        rel_f, ok_f = verdict(kind, g, f, goal_clear)
        rel_r, ok_r = verdict(kind, g, r, goal_replay)
        goal_f = f"at most {goal_clear}" if kind == "ratio" else f"at most + {goal_clear:.0f} MB"
        goal_r = f"at most {goal_replay}" if kind == "ratio" else f"at most + {goal_replay:.0f} MB"
        lines.append(f"| {label} | {g:.2f} | {f:.2f} | {rel_f} | {goal_f} | {ok_f} "
                     f"| {r:.2f} | {rel_r} | {goal_r} | {ok_r} |")
    for label, key in (("frames drawn per second, title screen", "fps_title"),
                       ("frames drawn per second, world view", "fps_encounter")):
        lines.append(f"| {label} | {med('game', key):.1f} | {med('floor', key):.1f} | | | "
                     f"| {med('replay', key):.1f} | | | |")
    tps, p99 = med("game", "tps"), med("game", "p99")
    lines += [
        "",
        "| figure | game | goal | verdict |",
        "|---|---|---|---|",
        f"| game ticks per second over 10 s | {tps:.2f} | 60 within 0.5 | "
        f"{'met' if abs(tps - 60.0) <= 0.5 else 'not met'} |",
        f"| 99th percentile of the tick interval (ms) | {p99:.2f} | at most 20 | "
        f"{'met' if p99 <= 20.0 else 'not met'} |",
        f"| one world-view frame: DrawGame, capture and presentation (ms) | {frame_ms:.3f} | | |",
        "",
        "CPU s per 10 s by thread (median of the runs; Mesa's rasterizer threads added up):",
        "",
        "| program | thread | title screen | world view |",
        "|---|---|---|---|",
    ]
    lines += thread_rows(results, "game")
    lines += thread_rows(results, "replay")
    table = "\n".join(lines) + "\n"
    print(table)
    path = os.path.join(TOP, "BENCHMARKS.md")
    findings = ""
    if os.path.exists(path):
        with open(path) as f:
            old = f.read()
        if "\n## Findings" in old:
            findings = old[old.index("\n## Findings"):]
    with open(path, "w") as f:
        f.write(table + findings)


if __name__ == "__main__":
    main()
