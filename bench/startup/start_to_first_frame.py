#!/usr/bin/env python3
"""Start of the desk to its first frame at the reference host, against the
minimal Qt Widgets window started the same way, under a private Xvfb; and
against the same window drawing one line of text, which starts the font
system as any window with words must.

Each run gets a fresh runtime folder and host; the program is started, the
time taken when the host prints its first message, and the program killed
at once so that its CPU time (from wait4) covers start-up only. Runs of
the three alternate; medians and their ratios are printed.

usage: start_to_first_frame.py BIN_DIR [RUNS]
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from virtual_display import start_display, wait_for  # noqa: E402


def one_run(bin_dir, run, display):
    program, *args = run
    with tempfile.TemporaryDirectory() as runtime:
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=runtime + "/config",
                   DISPLAY=display, QT_QPA_PLATFORM="xcb")
        monitor = subprocess.Popen([os.path.join(bin_dir, "vantrelle-monitor"), "--json"],
                                   env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        socket = os.path.join(runtime, "THXMainForm")
        wait_for(lambda: os.path.exists(socket), 10, "the host")
        program_dir = os.path.join(runtime, "program")
        os.mkdir(program_dir)
        exe = os.path.join(program_dir, program)
        shutil.copy(os.path.join(bin_dir, program), exe)
        start = time.perf_counter()
        proc = subprocess.Popen([exe, *args], env=env, cwd=program_dir,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        line = monitor.stdout.readline()
        wall = time.perf_counter() - start
        proc.send_signal(signal.SIGKILL)
        _, _, usage = os.wait4(proc.pid, 0)
        proc.returncode = -9
        monitor.kill()
        monitor.wait()
        if not line:
            sys.exit(f"{program} sent no frame")
        return wall * 1e3, (usage.ru_utime + usage.ru_stime) * 1e3


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bin_dir = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    xvfb, display = start_display()
    runs_of = {"vantrelle": ("vantrelle",),
               "vantrelle-minimal-window": ("vantrelle-minimal-window",),
               "minimal window with text": ("vantrelle-minimal-window", "--text")}
    programs = list(runs_of)
    results = {p: [] for p in programs}
    try:
        for p in programs:  # warm the file cache
            one_run(bin_dir, runs_of[p], display)
        for _ in range(runs):
            for p in programs:
                results[p].append(one_run(bin_dir, runs_of[p], display))
    finally:
        xvfb.kill()
        xvfb.wait()
    med = {}
    for p in programs:
        wall = statistics.median(w for w, _ in results[p])
        cpu = statistics.median(c for _, c in results[p])
        med[p] = (wall, cpu)
        print(f"{p:26s} start to first frame: wall {wall:7.1f} ms  CPU {cpu:7.1f} ms  ({runs} runs)")
    d, m, t = med["vantrelle"], med["vantrelle-minimal-window"], med["minimal window with text"]
    print(f"desk / minimal window:      wall {d[0] / m[0]:.2f}x  CPU {d[1] / m[1]:.2f}x")
    print(f"desk / window with text:    wall {d[0] / t[0]:.2f}x  CPU {d[1] / t[1]:.2f}x")


if __name__ == "__main__":
    main()
