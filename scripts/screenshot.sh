#!/usr/bin/env bash
# Regenerates docs/screenshot.png, the picture of the desk in the README: the
# real program with the reference host on a virtual display (Xvfb), fresh
# preferences, first page of faders, reduced to a small palette PNG.
set -euo pipefail
source "$(dirname "$0")/common.sh"
VANTRELLE_PACKAGES+=(optipng)
ensure_packages
if [ ! -f "$VANTRELLE_BUILD/build.ninja" ]; then configure_and_build; fi
cmake --build "$VANTRELLE_BUILD" --target vantrelle vantrelle-monitor -- -j"$(nproc)"
out="${1:-$VANTRELLE_ROOT/docs/screenshot.png}"

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A copy of the program with its data, so that its preferences start fresh.
mkdir -p "$work/program" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
cp "$VANTRELLE_BUILD/bin/vantrelle" "$VANTRELLE_BUILD/bin/Readme.rtf" "$work/program/"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null)
pids+=($!)
read -r -t 30 -u 3 number
export DISPLAY=":$number"

"$VANTRELLE_BUILD/bin/vantrelle-monitor" >"$work/monitor.txt" 2>/dev/null &
pids+=($!)
for _ in $(seq 200); do [ -S "$XDG_RUNTIME_DIR/THXMainForm" ] && break; sleep 0.05; done
(cd "$work" && exec "$work/program/vantrelle") &
pids+=($!)

title="$(desk_title_pattern "$VANTRELLE_BUILD/bin")"
window=""
for _ in $(seq 400); do
    window="$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && grep -q 'frame 512 bytes' "$work/monitor.txt" && break
    sleep 0.05
done
[ -n "$window" ] || { echo "the desk window did not appear" >&2; exit 1; }
# The picture is taken once two grabs in a row are the same: painting is done.
previous=""
for _ in $(seq 100); do
    import -window "$window" "$work/shot.png"
    sum="$(convert "$work/shot.png" rgba:- | md5sum)"
    [ "$sum" = "$previous" ] && break
    previous="$sum"
    sleep 0.1
done
convert "$work/shot.png" -strip +dither -colors 64 "PNG8:$out"
optipng -quiet -o5 "$out"
echo "$out"
