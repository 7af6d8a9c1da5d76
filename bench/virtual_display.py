"""A private Xvfb for the benchmark scripts, and waiting on what runs there."""
import os
import subprocess
import sys
import time


def start_display():
    """Starts Xvfb on a free display; returns the process and the display name."""
    r, w = os.pipe()
    # -noreset: a program started again while the server resets could not connect.
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                             "-noreset", "-nolisten", "tcp"],
                            pass_fds=(w,), stderr=subprocess.DEVNULL)
    os.close(w)
    with os.fdopen(r) as f:
        number = f.readline().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number


def wait_for(predicate, timeout, what, poll=0.002):
    """Polls until predicate() holds; ends the script after timeout seconds."""
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            sys.exit(f"timed out waiting for {what}")
        time.sleep(poll)
