#!/usr/bin/env bash
# Builds the desk and starts it with the reference host monitor, which prints
# every frame the desk sends. Without a display, both run on a virtual one
# and a screenshot of the window is saved. Only what runs is built (the two
# programs and what they load); ./test.sh builds the rest.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
ensure_packages
configure_and_build vantrelle vantrelle-monitor
BIN="$VANTRELLE_BUILD/bin"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
    echo "No display found: starting the desk on a virtual display (Xvfb)."
    exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null)
    read -r -u 3 number
    export DISPLAY=":$number"
    pids+=($!)
fi
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="/tmp/runtime-$(id -un)"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

"$BIN/vantrelle-monitor" &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/THXMainForm" ] && break; sleep 0.05; done

if [ "$headless" -eq 0 ]; then
    "$BIN/vantrelle"
    exit 0
fi

"$BIN/vantrelle" &
desk=$!
pids+=($desk)
title="$(desk_title_pattern "$BIN")"
window=""
for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.05
done
sleep 1 # let the first paint land
shot="${VANTRELLE_SCREENSHOT:-$PWD/vantrelle-screenshot.png}"
import -window "${window:-root}" "$shot"
echo "Screenshot of the desk saved to $shot"
echo "The desk runs on $DISPLAY; press Ctrl+C to stop it and the monitor."
wait "$desk" || true
