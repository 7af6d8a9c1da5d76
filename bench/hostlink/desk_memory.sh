#!/usr/bin/env bash
# Peak memory (VmHWM) of the idle desk on a virtual display, with a host.
set -euo pipefail
BIN="${1:?usage: desk_memory.sh BIN_DIR}"
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime"
export XDG_CONFIG_HOME="$runtime/config"
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null)
read -r -u 3 number
xvfb=$!
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
"$BIN/vantrelle-monitor" >/dev/null 2>&1 &
monitor=$!
mkdir -p "$runtime/program"
cp "$BIN/vantrelle" "$runtime/program/"
"$runtime/program/vantrelle" &
desk=$!
sleep 3
echo "idle desk: $(grep -E 'VmHWM|VmRSS' /proc/$desk/status | tr -s ' \t' ' ' | tr '\n' ' ')"
kill $desk $monitor $xvfb 2>/dev/null || true
wait 2>/dev/null || true
rm -rf "$runtime"
