#!/usr/bin/env bash
# The Debian packages as a person meets them, on a machine where we are root:
# build them under a strict umask, check them (lintian with its warnings,
# modes, the desktop entry, the layouts' MIME type, AppStream, icons, manual
# pages), install the desk alone with apt, run it as an unprivileged user
# under Xvfb with the installed reference host, add the OLA module's package
# and run it again, add the wine bridge's package and run the desk with it
# and a Windows mock host under wine (wine_bridge.sh), then purge them all and
# check that nothing of them is left.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/common.sh"

if [ "$(id -u)" -ne 0 ]; then
    echo "tests/package/run.sh installs a package and adds a user: run it as root." >&2
    exit 2
fi
VANTRELLE_PACKAGES=(lintian desktop-file-utils appstream man-db file inotify-tools
    shared-mime-info xdg-utils libfile-mimeinfo-perl xvfb xauth xdotool x11-utils
    wine wine64 gcc-mingw-w64-x86-64-win32)
ensure_packages || exit 1
source "$here/wine_bridge.sh"

passed=0
failed=0
check() { # check "what" command...: one line per check, counted.
    local what="$1"
    shift
    if "$@"; then
        echo "ok   - $what"
        passed=$((passed + 1))
    else
        echo "FAIL - $what"
        failed=$((failed + 1))
    fi
}
finish() {
    echo "package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && exit 0
    exit 1
}

work="$(mktemp -d /tmp/vantrelle-package-test.XXXXXX)"
chmod 755 "$work"
user="vantrelle-pkgtest"
xvfb_pid=""
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wine_bridge_cleanup
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    id "$user" >/dev/null 2>&1 && userdel --remove "$user" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command to succeed, polling.
wait_for() {
    local seconds="$1"
    shift
    local end=$((SECONDS + seconds))
    while [ $SECONDS -lt "$end" ]; do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# --- build and check the package files ---------------------------------------
# Under the strictest umask a builder may have: what the packages hold must
# not depend on it.
built="$(umask 077 && "$VANTRELLE_ROOT/package.sh")"
deb="$(tail -n 1 <<<"$built")"
ola_deb="$(grep '/vantrelle-ola_[^/]*\.deb$' <<<"$built")"
if [ ! -f "$deb" ] || [ ! -f "$ola_deb" ]; then
    echo "FAIL - package.sh printed no paths of the two packages: $built"
    failed=$((failed + 1))
    finish
fi
echo "packages: $deb $ola_deb"
cp "$deb" "$ola_deb" "$work/"
chmod 644 "$work"/*.deb # apt reads them as its own user
deb="$work/$(basename "$deb")"
ola_deb="$work/$(basename "$ola_deb")"

lintian_ok() {
    # Errors and warnings fail the check, an override that no longer matches too.
    lintian --fail-on error,warning --tag-display-limit 0 "$1" | tee "$work/lintian.txt"
    local rc=${PIPESTATUS[0]}
    ! grep -qE '^[EW]:|unused-override|mismatched-override' "$work/lintian.txt" && [ "$rc" -eq 0 ]
}
check "lintian reports no error or warning on the desk's package" lintian_ok "$deb"
check "lintian reports no error or warning on the OLA module's package" lintian_ok "$ola_deb"
# Folders 0755, files 0644 or 0755, whatever the umask they were built under.
modes_ok() {
    dpkg-deb -c "$1" | awk '
        $1 ~ /^d/ && $1 != "drwxr-xr-x" { print; bad = 1 }
        $1 ~ /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" { print; bad = 1 }
        END { exit bad }'
}
check "the desk's package gives everyone read access" modes_ok "$deb"
check "the OLA module's package gives everyone read access" modes_ok "$ola_deb"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
check "dependencies come from the binaries (Qt widgets, C++ runtime)" \
    bash -c '[[ "$1" == *libqt6widgets6* && "$1" == *libstdc++6* && "$1" == *libc6* ]]' _ "$depends"
check "the desk does not depend on OLA" bash -c '[[ "$1" != *libola* && "$1" != *protobuf* ]]' _ "$depends"
check "the desk recommends the OLA module's package" \
    bash -c '[ "$(dpkg-deb -f "$1" Recommends)" = vantrelle-ola ]' _ "$deb"

dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's#^\./#/#' >"$work/contents.txt"
dpkg-deb -c "$ola_deb" | awk '{print $NF}' | sed 's#^\./#/#' >"$work/ola-contents.txt"
for path in /usr/bin/vantrelle /usr/bin/vantrelle-monitor /usr/share/vantrelle/Readme.rtf \
    /usr/share/applications/vantrelle.desktop /usr/share/icons/hicolor/scalable/apps/vantrelle.svg \
    /usr/share/mime/packages/vantrelle.xml /usr/share/lintian/overrides/vantrelle \
    /usr/share/man/man1/vantrelle.1.gz /usr/share/man/man1/vantrelle-monitor.1.gz \
    /usr/share/doc/vantrelle/copyright /usr/share/doc/vantrelle/changelog.gz \
    /usr/share/doc/vantrelle/README.md.gz; do
    check "the package holds $path" grep -qx "$path" "$work/contents.txt"
done
for size in $VANTRELLE_ICON_SIZES; do
    check "the package holds the ${size}px icon" \
        grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/vantrelle.png" "$work/contents.txt"
done
check "the desk's package holds no OLA module" bash -c '! grep -q "vantrelle-ola\.so$" "$1"' _ \
    "$work/contents.txt"
check "the OLA package holds the OLA output's module" \
    grep -qE '^/usr/lib/([^/]+/)?vantrelle/vantrelle-ola\.so$' "$work/ola-contents.txt"
for path in /usr/share/doc/vantrelle-ola/copyright /usr/share/doc/vantrelle-ola/changelog.gz; do
    check "the OLA package holds $path" grep -qx "$path" "$work/ola-contents.txt"
done
ola_depends="$(dpkg-deb -f "$ola_deb" Depends)"
echo "Depends of vantrelle-ola: $ola_depends"
check "the module's client library is a dependency of its package" \
    bash -c '[[ "$1" == *libola* ]]' _ "$ola_depends"
check "the module's package depends on this very desk" \
    bash -c '[[ "$1" == *"vantrelle (= $2)"* ]]' _ "$ola_depends" "$(dpkg-deb -f "$deb" Version)"
check "the package holds AppStream metadata" grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' \
    "$work/contents.txt"
wine_bridge_check_package

# --- install ------------------------------------------------------------------
for p in vantrelle-wine-bridge vantrelle-ola vantrelle; do
    dpkg -s "$p" >/dev/null 2>&1 && apt-get -o DPkg::Lock::Timeout=600 remove --purge -y "$p"
done
# The desk alone first: it runs without OLA.
check "apt-get installs the desk's package" \
    env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends "$deb"
if ! dpkg -s vantrelle >/dev/null 2>&1; then finish; fi
dpkg -L vantrelle | sort >"$work/installed.txt"

check "desktop-file-validate accepts the launcher" \
    desktop-file-validate /usr/share/applications/vantrelle.desktop
check "the launcher opens layouts" bash -c 'grep -qx "Exec=vantrelle %f" "$1" &&
    grep -qx "MimeType=application/x-vantrelle-layout;" "$1"' _ /usr/share/applications/vantrelle.desktop
# The installed MIME type, as the system's database has it once dpkg's triggers ran.
for f in SHOW.HXI show.hxi; do head -c 33800 /dev/zero >"$work/$f"; done
for file in "$work/SHOW.HXI" "$work/show.hxi"; do
    check "$(basename "$file") is a Vantrelle layout" \
        bash -c '[ "$(XDG_DATA_HOME=/nonexistent xdg-mime query filetype "$1")" = application/x-vantrelle-layout ]' \
        _ "$file"
done
metainfo="$(ls /usr/share/metainfo/*.metainfo.xml 2>/dev/null | xargs -r grep -l '<launchable type="desktop-id">vantrelle.desktop' | head -n 1)"
check "appstreamcli validates the metadata" appstreamcli validate --no-net "$metainfo"
check "the metadata refers to a screenshot" grep -q '<screenshot type="default">' "$metainfo"
icon_size_ok() {
    file "/usr/share/icons/hicolor/$1x$1/apps/vantrelle.png" | grep -q "PNG image data, $1 x $1,"
}
for size in $VANTRELLE_ICON_SIZES; do
    check "the ${size}px icon is $size by $size" icon_size_ok "$size"
done
man_ok() {
    [ "$(man -w "$1")" = "/usr/share/man/man1/$1.1.gz" ] || return 1
    local warnings
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -P cat "$1" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || { echo "$warnings"; return 1; }
    MANWIDTH=80 man -P cat "$1" 2>/dev/null | grep -q "^NAME"
}
check "man vantrelle shows the page" man_ok vantrelle
check "man vantrelle-monitor shows the page" man_ok vantrelle-monitor
# Every option a program lists in --help is in its manual page, and back.
options_agree() {
    local help page
    help="$(env -u DISPLAY "/usr/bin/$1" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
    page="$(LC_ALL=C MANWIDTH=200 man -P cat "$1" 2>/dev/null | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
    [ -n "$help" ] && [ "$help" = "$page" ] || { diff <(echo "$help") <(echo "$page"); return 1; }
}
version_ok() {
    [ "$(env -u DISPLAY "/usr/bin/$1" --version)" = "$1 $(dpkg-query -W -f='${Version}' vantrelle)" ]
}
for program in vantrelle vantrelle-monitor; do
    check "$program --help and its manual page list the same options" options_agree "$program"
    check "$program --version prints the package's version" version_ok "$program"
done

# --- the installed desk as a user's program -----------------------------------
if ! useradd --create-home --shell /bin/bash "$user"; then
    echo "FAIL - cannot add the user $user (left by an earlier run?)"
    failed=$((failed + 1))
    finish
fi
home="$(getent passwd "$user" | cut -d: -f6)"
uid="$(id -u "$user")"
runtime="$work/runtime"
mkdir -m 700 "$runtime" && chown "$user" "$runtime"
touch "$work/stamp"

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null)
xvfb_pid=$!
read -r -t 30 -u 3 number || number=""
if [ -z "$number" ]; then
    echo "FAIL - Xvfb did not start"
    failed=$((failed + 1))
    finish
fi
export DISPLAY=":$number"

# As the launcher starts it: the user's own environment, the home folder
# current. Started in the background, it becomes runuser, which passes a
# SIGTERM on to the program.
start_as_user() {
    cd "$home" || return 1
    exec runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" \
        PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$runtime" "$@"
}
wine_bridge_start_prefix
start_as_user /usr/bin/vantrelle-monitor >"$work/monitor.txt" 2>"$work/monitor.err" &
monitor=$!
pids+=($monitor)
check "the installed reference host listens" wait_for 20 test -S "$runtime/THXMainForm"
# Which files the desk opens in the installed data folder.
inotifywait --monitor --event open --format '%w%f' /usr/share/vantrelle \
    >"$work/opened.txt" 2>"$work/inotify.err" &
pids+=($!)
wait_for 20 grep -q 'Watches established' "$work/inotify.err"
# Asked for an OLA output, the desk without the module's package says so and runs.
start_as_user /usr/bin/vantrelle --ola 1 >"$work/desk.out" 2>&1 &
desk=$!
pids+=($desk)

find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(find_window "$1")" ]; }
# The desk's window title: "Vantrelle " and the package's version.
title="^Vantrelle $(dpkg-query -W -f='${Version}' vantrelle | sed 's/\./\\./g')"
check "the installed desk opens its window" wait_for 30 has_window "$title"
window="$(find_window "$title")"
check "the reference host receives the first frames" wait_for 30 bash -c \
    '[ "$(grep -c "frame 512 bytes" "$1")" -ge 1 ]' _ "$work/monitor.txt"

if [ -n "$window" ]; then
    # Focus follows the pointer: click into the window before typing.
    xdotool mousemove --window "$window" 200 200 click 1
    xdotool key --delay 150 alt+h Return
    check "Help > Readme opens the Readme window" wait_for 20 has_window '^Readme$'
    readme="$(find_window '^Readme$')"
    check "the Readme window reads the installed Readme.rtf" wait_for 20 \
        grep -qx /usr/share/vantrelle/Readme.rtf "$work/opened.txt"
    if [ -n "$readme" ]; then
        xdotool mousemove --window "$readme" 100 100 click 1 key --delay 100 alt+c
        check "Close ends the Readme window" wait_for 20 bash -c '! xdotool search --onlyvisible --name "^Readme$" >/dev/null 2>&1'
    fi
    check "the Readme showed no error" bash -c '! xdotool search --onlyvisible --name "^Error$" >/dev/null 2>&1'

    # File > Exit, "Yes" to saving the layout: it is saved as show.HXI in
    # the folder the dialog opens on, the home folder.
    xdotool mousemove --window "$window" 200 200 click 1
    xdotool key --delay 100 alt+f x
    if wait_for 20 has_window '^Warning$'; then
        xdotool key alt+y
        if wait_for 20 has_window '^Save As$'; then
            xdotool type --delay 50 show
            xdotool key Return
        fi
    fi
    check "File > Exit ends the desk" wait_for 30 bash -c '! kill -0 "$1" 2>/dev/null' _ "$desk"
fi
kill "$desk" 2>/dev/null # only when File > Exit did not end it
wait "$desk" 2>/dev/null
echo "desk said:"
sed 's/^/    /' "$work/desk.out"
check "without the OLA package the desk says the output is not installed" \
    grep -q "the OLA output is not available: not installed" "$work/desk.out"
layout="$(ls "$home"/show.* 2>/dev/null | head -n 1)"
check "the layout was saved in the home folder" bash -c '[ "$(stat -c %s "$1")" = 33800 ]' _ "$layout"

config="$home/.config/vantrelle/Config.dat"
check "Config.dat is kept in the user's configuration folder" test -s "$config"
check "Config.dat belongs to the user" bash -c '[ "$(stat -c %U "$1")" = "$2" ]' _ "$config" "$user"

# With the module's package added and started again from the launcher, the
# desk reopens the last layout; with an OLA output asked for, it loads the
# installed module (olad need not run: the output only reports the daemon
# missing, on this machine's own loopback).
check "apt-get installs the OLA module's package" \
    env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends "$ola_deb"
dpkg -L vantrelle-ola 2>/dev/null | sort >>"$work/installed.txt"
start_as_user /usr/bin/vantrelle --ola 1 >"$work/desk2.out" 2>&1 &
desk=$!
pids+=($desk)
reopened() { # the title names the layout file
    [ -n "$layout" ] && has_window "$title $(basename "$layout" | sed 's/\./\\./g')\$"
}
check "started again, the desk reopens the last layout" wait_for 30 reopened
window="$(find_window "$title")"
if [ -n "$window" ]; then
    xdotool mousemove --window "$window" 200 200 click 1
    xdotool key --delay 100 alt+f x
    wait_for 20 has_window '^Warning$' && xdotool key alt+n
    check "File > Exit ends the desk again" wait_for 30 bash -c '! kill -0 "$1" 2>/dev/null' _ "$desk"
fi
kill "$desk" 2>/dev/null
wait "$desk" 2>/dev/null
sed 's/^/    /' "$work/desk2.out"
check "the installed desk found its OLA module" bash -c '! grep -q "OLA output is not available" "$1"' \
    _ "$work/desk2.out"
wine_bridge_run
echo "the wine bridge's part took ${bridge_seconds} s, wineboot's wait aside"
check "nothing was written under /usr" bash -c \
    '[ -z "$(find /usr -xdev \( \( -newer "$1" -name Config.dat \) -o -user "$2" \) -print -quit)" ]' \
    _ "$work/stamp" "$uid"

# --- purge ----------------------------------------------------------------------
for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
wait "${pids[@]}" 2>/dev/null
check "no program of the user is left running" wait_for 20 bash -c '! pgrep -u "$1" >/dev/null' _ "$user"
# Those installed: apt refuses the whole command for a package it does not
# know, which one that failed to install is.
known=()
for p in vantrelle-wine-bridge vantrelle-ola vantrelle; do
    dpkg -s "$p" >/dev/null 2>&1 && known+=("$p")
done
check "apt-get removes the packages with their configuration" \
    env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 remove --purge -y \
    "${known[@]}"
check "dpkg no longer knows the packages" bash -c \
    'for p in vantrelle vantrelle-ola vantrelle-wine-bridge; do ! dpkg -s $p >/dev/null 2>&1 || exit 1; done'
left_over() {
    local left=""
    while read -r path; do
        [ -f "$path" ] || [ -L "$path" ] && left+="$path "
    done <"$work/installed.txt"
    for dir in /usr/share/vantrelle /usr/share/doc/vantrelle /usr/share/doc/vantrelle-ola \
        /usr/share/doc/vantrelle-wine-bridge /usr/lib/vantrelle-wine-bridge; do
        [ -e "$dir" ] && left+="$dir "
    done
    [ -z "$left" ] || { echo "left behind: $left"; return 1; }
}
check "no file of the package is left" left_over
finish
