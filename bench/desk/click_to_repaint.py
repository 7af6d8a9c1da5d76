#!/usr/bin/env python3
"""A click on a page button to the last repaint of the desk, under a private
Xvfb with the reference host: starts both, finds the page-button row, then
lets click_to_repaint alternate between pages 1 and 2 and time each click
to the last drawing the window receives.

usage: click_to_repaint.py BIN_DIR [CLICKS [DESK_BIN_DIR]]
(DESK_BIN_DIR: where the desk and host come from, if not BIN_DIR)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from virtual_display import start_display, wait_for  # noqa: E402

TITLE = "^Vantrelle "  # the desk's window title, "Vantrelle <version>"


class Monitor:
    """The reference host, its messages counted as they arrive."""

    def __init__(self, bin_dir, env):
        self.count = 0
        self.lock = threading.Lock()
        self.proc = subprocess.Popen([os.path.join(bin_dir, "vantrelle-monitor"), "--json"],
                                     env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for _ in self.proc.stdout:
            with self.lock:
                self.count += 1

    def messages(self):
        with self.lock:
            return self.count


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bin_dir = os.path.abspath(sys.argv[1])
    clicks = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    desk_dir = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else bin_dir
    xvfb, display = start_display()
    procs = [xvfb]
    try:
        with tempfile.TemporaryDirectory() as runtime:
            env = dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=runtime + "/config",
                       DISPLAY=display, QT_QPA_PLATFORM="xcb")
            monitor = Monitor(desk_dir, env)
            procs.append(monitor.proc)
            wait_for(lambda: os.path.exists(os.path.join(runtime, "THXMainForm")), 10, "the host",
                     poll=0.01)
            program_dir = os.path.join(runtime, "program")
            os.mkdir(program_dir)
            shutil.copy(os.path.join(desk_dir, "vantrelle"), program_dir)
            desk = subprocess.Popen([os.path.join(program_dir, "vantrelle")], env=env,
                                    cwd=program_dir, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            procs.append(desk)
            wait_for(lambda: monitor.messages() > 0, 20, "the desk's first frame", poll=0.01)

            def xdotool(*args):
                return subprocess.run(["xdotool", *args], env=env, capture_output=True,
                                      text=True).stdout.strip()
            wait_for(lambda: xdotool("search", "--onlyvisible", "--name", TITLE) != "", 20,
                     "the desk window", poll=0.01)
            window = xdotool("search", "--onlyvisible", "--name", TITLE).split()[0]
            # The page row lies below the menu bar: find the row where a click on
            # page 2 sends a frame.
            x1, x2 = 31, 63 + 31
            row = None
            for y in range(12, 90, 4):
                before = monitor.messages()
                xdotool("mousemove", "--window", window, str(x2), str(y), "click", "1")
                deadline = time.monotonic() + 0.5
                while monitor.messages() == before and time.monotonic() < deadline:
                    time.sleep(0.01)
                if monitor.messages() > before:
                    row = y + 8  # well inside the button
                    break
            if row is None:
                sys.exit("no page button found")
            time.sleep(0.3)
            before = monitor.messages()
            result = subprocess.run([os.path.join(bin_dir, "click_to_repaint"), window, str(x1),
                                     str(x2), str(row), str(clicks), "150"], env=env,
                                    capture_output=True, text=True)
            print(result.stdout.strip().splitlines()[-1] if result.stdout else result.stderr)
            wait_for(lambda: monitor.messages() - before >= clicks, 10, "a frame per click",
                     poll=0.01)
            print(f"frames at the host for {clicks} clicks: {monitor.messages() - before}")
    finally:
        for p in reversed(procs):
            p.kill()
            p.wait()


if __name__ == "__main__":
    main()
