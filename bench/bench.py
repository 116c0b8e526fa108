#!/usr/bin/env python3
"""Measures the game against two floors, all under the same Xvfb with Mesa's
software OpenGL:
- the clearing floor (floor.cpp), a bare FLTK OpenGL window that only clears
  and redraws at 60 Hz;
- the replay floor (replay.cpp), a bare FLTK OpenGL window that draws the
  game's own frames (recorded by record_frames.cpp) at 60 Hz with raw OpenGL.
Each program gets the same protocol: 10 s on its first screen, a click at the
window's centre, 10 s on the world view with an encounter open. The game's
random numbers are seeded as the recording's (DUNMARK_SEED), so both
draw the same frames; the probe counts the primitives of every frame to show
it. Then the click-to-screen latency of the game and of the clearing floor,
side by side (click_latency.c), and a long game (long_game.cpp).

Usage: bench/bench.py BUILD_DIR RUNS RESULTS.json   measure; write the results
       bench/bench.py --latency BUILD_DIR RESULTS.json
                                                    measure the latency again,
                                                    into the results
       bench/bench.py --table RESULTS.json...       write BENCHMARKS.md from
                                                    the results of each release
"""
import collections
import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = PROBE = GAME = FLOOR = REPLAY = FRAMES = FRAME_TIME = CLICKER = LONG_GAME = ""
SEED = ""
# Clicks per program and hold time; worlds of the long game.
CLICKS = int(os.environ.get("DUNMARK_BENCH_CLICKS", "200"))
WORLDS = os.environ.get("DUNMARK_BENCH_WORLDS", "1 10 30 60 100").split()
TICK_MS = 1000.0 / 60.0
SCREEN = (1024, 768)
WINDOW = ((SCREEN[0] - 640) // 2, (SCREEN[1] - 480) // 2)
CLK_TCK = os.sysconf("SC_CLK_TCK")


def set_paths(build):
    global BUILD, PROBE, GAME, FLOOR, REPLAY, FRAMES, FRAME_TIME, CLICKER, LONG_GAME
    BUILD = os.path.abspath(build)
    PROBE = os.path.join(BUILD, "bench", "probe.so")
    GAME = os.path.join(BUILD, "bin", "dunmark")
    FLOOR = os.path.join(BUILD, "bench", "floor")
    REPLAY = os.path.join(BUILD, "bench", "replay")
    FRAMES = os.path.join(BUILD, "bench", "frames.txt")
    FRAME_TIME = os.path.join(BUILD, "bench", "frame_time")
    CLICKER = os.path.join(BUILD, "bench", "click_latency")
    LONG_GAME = os.path.join(BUILD, "bench", "long_game")


def record_frames():
    """Records the game's frames for the replay; the seed it played with
    comes back (and is kept beside the recording for profile.py)."""
    global SEED
    out = subprocess.run([os.path.join(BUILD, "bench", "record_frames"), FRAMES],
                         cwd=os.path.join(BUILD, "bin"), capture_output=True, text=True, check=True)
    SEED = out.stdout.split()[-1]
    with open(os.path.join(BUILD, "bench", "frames.seed"), "w") as f:
        f.write(SEED + "\n")


def display_taken(n):
    """A lock file, or an X server's abstract socket: the latter belongs to the
    network namespace, so a server outside a chroot shows only there."""
    if os.path.exists(f"/tmp/.X{n}-lock"):
        return True
    try:
        with open("/proc/net/unix") as f:
            return any(line.rstrip().endswith(f"@/tmp/.X11-unix/X{n}") for line in f)
    except OSError:
        return False


def start_xvfb(screen=SCREEN):
    for n in range(500, 600):
        if not display_taken(n):
            proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", f"{screen[0]}x{screen[1]}x24",
                                     "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            env = dict(os.environ, DISPLAY=f":{n}")
            for _ in range(100):
                if subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0:
                    return proc, env
                time.sleep(0.05)
            proc.kill()
    raise SystemExit("cannot start Xvfb")


def read_probe(path, with_counts=False):
    """(what, time) of each event; with counts, (what, time, primitives)."""
    events = []
    try:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) < 2:
                    continue   # a line being written
                count = int(parts[2]) if len(parts) > 2 else 0
                events.append((parts[0], float(parts[1]), count) if with_counts
                              else (parts[0], float(parts[1])))
    except FileNotFoundError:
        pass
    return events


def primitives_per_frame(probe, begin, end):
    """Each number of primitives a frame drawn in the span had, and how many
    frames had it."""
    return dict(collections.Counter(n for what, t, n in read_probe(probe, True)
                                    if what == "swap" and begin <= t <= end))


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
    run_env = dict(env, LD_PRELOAD=PROBE, DUNMARK_PROBE_FILE=probe, DUNMARK_SEED=SEED,
                   ALSOFT_DRIVERS="null")
    t0 = time.monotonic()
    output = open(os.path.join(work, "output.txt"), "w")
    proc = subprocess.Popen(command, cwd=os.path.join(work, "bin"), env=run_env,
                            stdout=output, stderr=subprocess.STDOUT)
    first_frame = 3 if is_game else 1   # the game: loading frame, start-up frame, title
    try:
        swaps = wait_swaps(probe, first_frame)
    except SystemExit:
        proc.kill()
        output.close()
        with open(os.path.join(work, "output.txt")) as f:
            print(f"{command[0]} (exit status {proc.wait()}) said:\n" + f.read()[-3000:], file=sys.stderr)
        raise
    result = {
        "startup_end": (swaps[first_frame - 2 if is_game else 0] - t0) * 1000.0,
        "first_frame": (swaps[first_frame - 1] - t0) * 1000.0,
    }
    time.sleep(1.0)
    begin = time.monotonic()
    result["cpu_title"], result["threads_title"] = measure_cpu(proc.pid, 10.0)
    result["fps_title"] = frames_per_second(probe, begin, time.monotonic())
    result["prims_title"] = primitives_per_frame(probe, begin, time.monotonic())
    result["ms_title"] = cpu_ms_per_frame(result["cpu_title"], result["fps_title"])
    click(env, 320, 240)
    time.sleep(5.0)   # world card, the walk, the panel opening: an encounter is open
    begin = time.monotonic()
    result["cpu_encounter"], result["threads_encounter"] = measure_cpu(proc.pid, 10.0)
    end = time.monotonic()
    result["tps"], result["p99"] = tick_pacing(probe, begin, end)
    result["fps_encounter"] = frames_per_second(probe, begin, end)
    result["prims_encounter"] = primitives_per_frame(probe, begin, end)
    result["ms_encounter"] = cpu_ms_per_frame(result["cpu_encounter"], result["fps_encounter"])
    result["rss"] = peak_rss_mb(proc.pid)
    proc.kill()
    proc.wait()
    output.close()
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


def release():
    fields = {}
    with open("/etc/os-release") as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            fields[key] = value.strip('"')
    return fields.get("PRETTY_NAME", "unknown"), fields.get("VERSION_ID", "?")


def package_version(name):
    out = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", name], capture_output=True, text=True)
    return out.stdout.strip() or "unknown"


def depends(package):
    out = subprocess.run(["dpkg-query", "-W", "-f", "${Depends}", package], capture_output=True, text=True)
    return [item.split()[0].split(":")[0] for item in out.stdout.replace("|", ",").split(",") if item.strip()]


def llvm_versions():
    """The LLVM package Mesa's software renderer is built with: a dependency
    of the driver package, or of its gallium library (mesa-libgallium on
    Debian 13)."""
    found = []
    for name in depends("libgl1-mesa-dri"):
        for dep in [name] + (depends(name) if "gallium" in name else []):
            if dep.startswith("libllvm") and dep not in found:
                found.append(dep)
    return ", ".join(f"{name} {package_version(name)}" for name in found) or "LLVM unknown"


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


def latency():
    """Click-to-screen latency of the game and of the clearing floor, side by
    side on one display: the floor at the left, the game centred; clicks take
    turns. The game stands in the camp its seed leads to: a click on the dice
    opens a message box, a click on OK closes it; the watched area is inside
    the box. The floor's whole window changes colour on each release."""
    screen = (1920, 480)
    xvfb, env = start_xvfb(screen)
    work = tempfile.mkdtemp(prefix="dunmark-bench-")
    procs = []
    try:
        os.makedirs(os.path.join(work, "bin"))
        os.symlink(os.path.join(BUILD, "gfx"), os.path.join(work, "gfx"))
        game_env = dict(env, LD_PRELOAD=PROBE, DUNMARK_PROBE_FILE=os.path.join(work, "probe.txt"),
                        DUNMARK_SEED=SEED, ALSOFT_DRIVERS="null")
        procs.append(subprocess.Popen([FLOOR, "0", "0"], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL))
        procs.append(subprocess.Popen([GAME], cwd=os.path.join(work, "bin"), env=game_env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_swaps(os.path.join(work, "probe.txt"), 3)
        left, top = (screen[0] - 640) // 2, (screen[1] - 480) // 2
        xdotool(env, "mousemove", str(left + 320), str(top + 240), "mousedown", "1")
        time.sleep(0.1)
        xdotool(env, "mouseup", "1")
        time.sleep(6.0)   # the world card, the walk, the camp's panel
        # Virtual-screen pixels are doubled in the window: the dice button
        # below the OK area (160, 155), the OK area (160, 140), and the
        # watched area inside the message box (215..245, 140..155).
        floor_target = "floor:290,220,60,30:320,240"
        game_target = (f"game:{left + 430},{top + 280},60,30:{left + 320},{top + 310}:"
                       f"{left + 320},{top + 280}")
        result = {"load_before": load_average()}
        for hold in (80, 2):
            out = subprocess.run([CLICKER, str(hold), str(CLICKS), str(hold), floor_target, game_target],
                                 env=env, capture_output=True, text=True, check=True).stdout
            for line in out.splitlines():
                parts = line.split()
                key = f"{parts[1]}_{hold}"
                entry = result.setdefault(key, {"ms": [], "gaps": [], "missed": 0})
                if parts[0] == "click":
                    if float(parts[3]) < 0:
                        entry["missed"] += 1
                    else:
                        entry["ms"].append(float(parts[3]))
                        entry["gaps"].append(float(parts[4]))
                elif parts[0] == "poll":
                    entry["poll_median_us"], entry["poll_max_us"] = float(parts[2]), float(parts[3])
                elif parts[0] == "held":
                    entry["held_ms"] = float(parts[2])
        result["load_after"] = load_average()
        for key, entry in result.items():
            if isinstance(entry, dict):
                ms = entry["ms"]
                gaps = entry.pop("gaps")
                entry.update({"clicks": len(ms), "p50": percentile(ms, 0.5), "p90": percentile(ms, 0.9),
                              "p99": percentile(ms, 0.99), "max": max(ms),
                              "gap_p50_ms": percentile(gaps, 0.5), "gap_p99_ms": percentile(gaps, 0.99)})
        return result
    finally:
        for proc in procs:
            proc.kill()
            proc.wait()
        xvfb.kill()
        shutil.rmtree(work, ignore_errors=True)


def long_game(env):
    out = subprocess.run([LONG_GAME, *WORLDS], cwd=os.path.join(BUILD, "bin"), env=env,
                         capture_output=True, text=True, check=True).stdout
    worlds = {}
    for line in out.splitlines():
        parts = line.split()
        if parts and parts[0] in ("world", "snapshot"):
            entry = worlds.setdefault(parts[1], {})
            values = dict(zip(parts[2::2], parts[3::2]))
            if parts[0] == "world":
                entry.update({key: float(value) for key, value in values.items()})
            else:
                entry["snapshot_held"] = float(values["held"])
                entry["snapshot_ms"] = float(values["frame_ms"])
    return worlds


def thread_medians(results, who):
    names = sorted({name for r in results[who] for name in r["threads_encounter"]})
    rows = {}
    for name in names:
        title, world = (statistics.median(r[key].get(name, 0.0) for r in results[who])
                        for key in ("threads_title", "threads_encounter"))
        if max(title, world) >= 0.005:
            rows[name] = [title, world]
    return rows


def measure(runs, out_path):
    record_frames()
    pretty, version = release()
    data = {"release": pretty, "version": version, "mesa": package_version("libgl1-mesa-dri"),
            "llvm": llvm_versions(),
            "date": time.strftime("%Y-%m-%d"), "machine": machine(), "runs": runs, "seed": SEED,
            "load": [load_average()]}
    xvfb, env = start_xvfb()
    try:
        results = {"game": [], "floor": [], "replay": []}
        for run in range(runs):
            results["floor"].append(one_run(env, [FLOOR], False))
            results["replay"].append(one_run(env, [REPLAY, FRAMES], False))
            results["game"].append(one_run(env, [GAME], True))
            data["load"].append(load_average())
            print(f"run {run + 1}/{runs} done", flush=True)
        data["frame_ms"] = statistics.median(frame_time(env) for _ in range(3))
        data["medians"] = {who: {key: statistics.median(r[key] for r in rs)
                                 for key in rs[0] if not key.startswith(("threads", "prims"))}
                           for who, rs in results.items()}
        # The kinds of frame each program drew: primitives a frame, over all runs.
        data["primitives"] = {who: {key: sorted({n for r in rs for n in r[key]})
                                    for key in ("prims_title", "prims_encounter")}
                              for who, rs in results.items()}
        data["threads"] = {who: thread_medians(results, who) for who in ("game", "replay")}
        print("latency", flush=True)
        data["latency"] = latency()
        data["load"].append(load_average())
        print("long game", flush=True)
        data["long_game"] = long_game(env)
        data["load"].append(load_average())
    finally:
        xvfb.kill()
    with open(out_path, "w") as f:
        json.dump(data, f, indent=1)


def verdict(kind, game, floor, limit):
    if kind == "ratio":
        return f"{game / floor:.2f}", "met" if game <= limit * floor else "not met"
    return f"+{game - floor:.1f} MB", "met" if game - floor <= limit else "not met"


def short(data):
    return f"Debian {data['version']}"


def table(paths):
    datas = []
    for path in paths:
        with open(path) as f:
            datas.append(json.load(f))
    datas.sort(key=lambda d: d["version"])
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
        "Measured by `bash bench/run.sh` (Debian 13 in a fresh root: `bash bench/run.sh --debian13`), "
        "under Xvfb with Mesa's software OpenGL (llvmpipe) and OpenAL Soft's null output. Each figure "
        "of the first table is the median of the runs. The machine is shared with other engineers' "
        "builds and test runs while it measures: CPU seconds are what each program itself used, but "
        "start-up times and latencies are wall time and move with the load.",
        "",
    ]
    for d in datas:
        load = ", ".join(f"{x:.1f}" for x in d["load"])
        lines.append(f"- {d['release']}: measured {d['date']} on {d['machine']}; Mesa {d['mesa']} "
                     f"({d['llvm']}); {d['runs']} runs; load average at the start, after each run, after the "
                     f"clicks and after the long game: {load}.")
    lines += [
        "",
        "Two floors: the clearing floor (`bench/floor.cpp`) only clears its window; the replay floor "
        "(`bench/replay.cpp`) draws the game's own frames, recorded by the game's drawing code "
        "(`bench/record_frames.cpp`), with raw OpenGL calls in the renderer's order, without engines, "
        "game thread or sound. The replay's start-up is its first frame. Both the recording and the "
        "game play world 1 with the same fixed seed (the game's through its setting `DUNMARK_SEED`), "
        "so the game and the replay draw the same frames: the primitives rows count what each drew "
        "in a frame.",
        "",
        "| figure | release | game | clearing floor | game / clearing | goal | verdict "
        "| replay floor | game / replay | goal | verdict |",
        "|---|---|---|---|---|---|---|---|---|---|---|",
    ]
    for label, key, kind, goal_clear, goal_replay in rows:
        for d in datas:
            m = d["medians"]
            g, f, r = m["game"][key], m["floor"][key], m["replay"][key]
            rel_f, ok_f = verdict(kind, g, f, goal_clear)
            rel_r, ok_r = verdict(kind, g, r, goal_replay)
            goal_f = f"at most {goal_clear}" if kind == "ratio" else f"at most + {goal_clear:.0f} MB"
            goal_r = f"at most {goal_replay}" if kind == "ratio" else f"at most + {goal_replay:.0f} MB"
            lines.append(f"| {label} | {short(d)} | {g:.2f} | {f:.2f} | {rel_f} | {goal_f} | {ok_f} "
                         f"| {r:.2f} | {rel_r} | {goal_r} | {ok_r} |")
    for label, key in (("frames drawn per second, title screen", "fps_title"),
                       ("frames drawn per second, world view", "fps_encounter")):
        for d in datas:
            m = d["medians"]
            lines.append(f"| {label} | {short(d)} | {m['game'][key]:.1f} | {m['floor'][key]:.1f} | | | "
                         f"| {m['replay'][key]:.1f} | | | |")
    for label, key in (("kinds of frame drawn, by OpenGL primitives a frame, title screen", "prims_title"),
                       ("kinds of frame drawn, by OpenGL primitives a frame, world view", "prims_encounter")):
        for d in datas:
            p = d["primitives"]
            same = "same frames" if p["game"][key] == p["replay"][key] else "different frames"
            game, replay = ("/".join(str(n) for n in p[who][key]) for who in ("game", "replay"))
            lines.append(f"| {label} | {short(d)} | {game} | | | | | {replay} | | equal | {same} |")
    lines += [
        "",
        "| figure | release | game | goal | verdict |",
        "|---|---|---|---|---|",
    ]
    for d in datas:
        tps, p99 = d["medians"]["game"]["tps"], d["medians"]["game"]["p99"]
        lines += [
            f"| game ticks per second over 10 s | {short(d)} | {tps:.2f} | 60 within 0.5 | "
            f"{'met' if abs(tps - 60.0) <= 0.5 else 'not met'} |",
            f"| 99th percentile of the tick interval (ms) | {short(d)} | {p99:.2f} | at most 20 | "
            f"{'met' if p99 <= 20.0 else 'not met'} |",
            f"| one world-view frame: DrawGame, capture and presentation (ms) | {short(d)} | "
            f"{d['frame_ms']:.3f} | | |",
        ]
    lines += [
        "",
        "CPU s per 10 s by thread (median of the runs; Mesa's rasterizer threads added up):",
        "",
        "| program | thread | release | title screen | world view |",
        "|---|---|---|---|---|",
    ]
    for who in ("game", "replay"):
        names = sorted({name for d in datas for name in d["threads"][who]})
        for name in names:
            for d in datas:
                if name in d["threads"][who]:
                    title, world = d["threads"][who][name]
                    lines.append(f"| {who} | {name} | {short(d)} | {title:.2f} | {world:.2f} |")
    lines += latency_table(datas) + long_game_table(datas)
    return "\n".join(lines) + "\n"


def latency_table(datas):
    lines = [
        "",
        "## Click-to-screen latency",
        "",
        f"From the moment the X server has taken a click's release (sent through XTest, `bench/click_latency.c`) "
        "to the first reading of the screen that shows its effect; the game and the clearing floor on one "
        "display, clicks taking turns, each after a random wait of up to two ticks (a random phase of the "
        "tick). The game's click plays the camp's dice (a message box opens) or dismisses it (it closes); the "
        "floor changes its colour on the release and redraws at once. The poll period is the time between two "
        "readings of the watched area (median, and the 99th percentile of the one in which an effect came). "
        "Goal: the game's 99th percentile at most the floor's plus the ticks the game waits by design (one for "
        "a normal click; two for a press and release within one tick, which the input latching shows on two "
        "ticks) plus a margin of two world-view frames (`frame_ms` above: a frame being drawn when the tick "
        "comes, then the frame that shows the effect).",
        "",
        "| release | program | hold (ms, asked / median) | clicks | p50 (ms) | p90 (ms) | p99 (ms) | max (ms) "
        "| poll period (µs, median) | effect's poll interval, p99 (ms) | missed | goal: p99 at most (ms) | verdict |",
        "|---|---|---|---|---|---|---|---|---|---|---|---|---|",
    ]
    for d in datas:
        lat = d["latency"]
        margin = 2.0 * d["frame_ms"]
        for hold, ticks in ((80, 1), (2, 2)):
            floor = lat[f"floor_{hold}"]
            for who in ("floor", "game"):
                e = lat[f"{who}_{hold}"]
                goal, ok = "", ""
                if who == "game":
                    limit = floor["p99"] + ticks * TICK_MS + margin
                    goal = f"{limit:.1f}"
                    ok = "met" if e["p99"] <= limit and e["missed"] == 0 else "not met"
                lines.append(f"| {short(d)} | {who} | {hold} / {e['held_ms']:.1f} | {e['clicks']} | {e['p50']:.1f} "
                             f"| {e['p90']:.1f} | {e['p99']:.1f} | {e['max']:.1f} | {e['poll_median_us']:.0f} "
                             f"| {e['gap_p99_ms']:.2f} | {e['missed']} | {goal} | {ok} |")
    lines.append("")
    for d in datas:
        lat = d["latency"]
        lines.append(f"- {short(d)}: load average {lat['load_before']:.1f} before the clicks, "
                     f"{lat['load_after']:.1f} after.")
    lines.append("")
    return lines


def long_game_table(datas):
    lines = [
        "## A long game",
        "",
        "`bench/long_game.cpp` plays one game through the rules with a scripted strong player (fixed seed), "
        "drawing a frame each tick as the window does, and reports per world: the popups the record held "
        "(at most, and at the world's end), the median time of a frame over the world's frames (the whole "
        "frame, and DrawGame alone) and the resident memory at the world's end. Then, side by side, the "
        "record as it stood when the hero set out on each world's road is drawn again in turns (30 rounds "
        "of 20 frames): the frame time that load cannot tilt between worlds. Goal: at the last world, that "
        "time within 1.05 times world 1's; popups held a few dozen at most; memory flat.",
        "",
        "| release | world | ticks | popups held, most | popups held at its end | ms per frame | "
        "ms of DrawGame | resident MB | side by side: popups held | side by side: ms per frame | "
        "/ world 1 | verdict |",
        "|---|---|---|---|---|---|---|---|---|---|---|---|",
    ]
    for d in datas:
        worlds = d["long_game"]
        keys = sorted(worlds, key=int)
        first = worlds[keys[0]]["snapshot_ms"]
        for key in keys:
            w = worlds[key]
            ratio = w["snapshot_ms"] / first
            ok = ""
            if key == keys[-1]:
                ok = "met" if ratio <= 1.05 and w["held_max"] <= 50 else "not met"
            lines.append(f"| {short(d)} | {key} | {w['ticks']:.0f} | {w['held_max']:.0f} | {w['held_end']:.0f} "
                         f"| {w['frame_ms']:.3f} | {w['draw_ms']:.4f} | {w['rss_mb']:.1f} "
                         f"| {w['snapshot_held']:.0f} | {w['snapshot_ms']:.3f} | {ratio:.3f} | {ok} |")
    lines.append("")
    return lines


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--table":
        text = table(sys.argv[2:])
        print(text)
        path = os.path.join(TOP, "BENCHMARKS.md")
        findings = ""
        if os.path.exists(path):
            with open(path) as f:
                old = f.read()
            if "\n## Findings" in old:
                findings = old[old.index("\n## Findings"):]
        with open(path, "w") as f:
            f.write(text + findings)
        return
    if len(sys.argv) == 4 and sys.argv[1] == "--latency":
        set_paths(sys.argv[2])
        record_frames()
        with open(sys.argv[3]) as f:
            data = json.load(f)
        data["latency"] = latency()
        data.update({"mesa": package_version("libgl1-mesa-dri"), "llvm": llvm_versions()})
        with open(sys.argv[3], "w") as f:
            json.dump(data, f, indent=1)
        return
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    set_paths(sys.argv[1])
    measure(int(sys.argv[2]), sys.argv[3])


if __name__ == "__main__":
    main()
