#!/usr/bin/env python3
"""The cost of sound on the desktop, side by side in one run: the game as it
is (music and effects), the same game muted, and a silent game (the build of
an earlier commit, before the game played sound), each under the same Xvfb
and OpenAL Soft's null output (which mixes as a sound card's would), runs
taking turns. Each run: 10 s on the title (its music), a click, 10 s on the
first encounter (its music); CPU per frame drawn and the tick interval's 99th
percentile from the probe (bench/probe.c), as bench.py measures them. Then
the effect latency (sound_latency.cpp).

Usage: bench/sound.py BUILD_DIR SILENT_BUILD_DIR RUNS   prints the table rows
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench  # noqa: E402


def run(env, build, args):
    work = tempfile.mkdtemp(prefix="dunmark-sound-bench-")
    os.makedirs(os.path.join(work, "bin"))
    for folder in ("gfx", "sfx"):
        if os.path.isdir(os.path.join(build, folder)):
            os.symlink(os.path.join(build, folder), os.path.join(work, folder))
    probe = os.path.join(work, "probe.txt")
    run_env = dict(env, LD_PRELOAD=bench.PROBE, DUNMARK_PROBE_FILE=probe, DUNMARK_SEED="0",
                   ALSOFT_DRIVERS="null", XDG_STATE_HOME=os.path.join(work, "state"))
    with open(os.path.join(work, "output.txt"), "w") as output:
        proc = subprocess.Popen([os.path.join(build, "bin", "dunmark"), *args], cwd=os.path.join(work, "bin"),
                                env=run_env, stdout=output, stderr=subprocess.STDOUT)
        try:
            bench.wait_swaps(probe, 3)
            time.sleep(1.0)
            result = {}
            for screen in ("title", "encounter"):
                if screen == "encounter":
                    bench.click(env, 320, 240)
                    time.sleep(5.0)
                begin = time.monotonic()
                cpu, _ = bench.measure_cpu(proc.pid, 10.0)
                end = time.monotonic()
                fps = bench.frames_per_second(probe, begin, end)
                result[screen] = bench.cpu_ms_per_frame(cpu, fps)
                result[screen + "_p99"] = bench.tick_pacing(probe, begin, end)[1]
        finally:
            proc.kill()
            proc.wait()
    shutil.rmtree(work, ignore_errors=True)
    return result


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    build, silent_build, runs = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), int(sys.argv[3])
    bench.set_paths(build)
    programs = [("with sound", build, []), ("muted", build, ["--mute"]), ("silent (before sound)", silent_build, [])]
    xvfb, env = bench.start_xvfb()
    results = {name: [] for name, _, _ in programs}
    try:
        for _ in range(runs):
            for name, folder, args in programs:
                results[name].append(run(env, folder, args))
    finally:
        xvfb.kill()
    silent = results["silent (before sound)"]
    print(f"| program | CPU ms per frame, title | / silent | CPU ms per frame, encounter | / silent | "
          f"tick interval p99 (ms), title | tick interval p99 (ms), encounter |")
    print("|---|---|---|---|---|---|---|")
    base = {key: statistics.median(r[key] for r in silent) for key in silent[0]}
    for name, _, _ in programs:
        m = {key: statistics.median(r[key] for r in results[name]) for key in results[name][0]}
        print(f"| {name} | {m['title']:.2f} | {m['title'] / base['title']:.3f} | {m['encounter']:.2f} | "
              f"{m['encounter'] / base['encounter']:.3f} | {m['title_p99']:.2f} | {m['encounter_p99']:.2f} |")
    print(f"(medians of {runs} runs each, taking turns; load average {bench.load_average()})")
    capture = tempfile.mktemp(suffix=".wav")
    print(subprocess.run([os.path.join(build, "bench", "sound_latency"), os.path.join(build, "sfx", "strike.wav"),
                          capture, "30"], capture_output=True, text=True, check=True).stdout)
    for leftover in (capture, capture + ".conf"):
        if os.path.exists(leftover):
            os.remove(leftover)


if __name__ == "__main__":
    main()
