# The wine bridge's own package in the package stage, sourced by run.sh and
# using its checks, its user, its Xvfb and its installed desk: built under
# run.sh's umask, checked, installed with apt, run as the user between the
# installed desk and a Windows mock host under wine in a prefix of the user's,
# then purged with the desk's packages by run.sh.

bridge_deb=""
wine_prefix=""
wineboot_pid=""
bridge_seconds=0 # the time this part adds, wineboot's own wait aside

# Runs a command as run.sh's user in the wine prefix, in the foreground.
in_wine_prefix() {
    (start_as_user env WINEPREFIX="$wine_prefix" WINEDEBUG=-all "$@")
}

# From run.sh's cleanup, while the user and the display still exist: every
# Windows process of the prefix, the wineserver last.
wine_bridge_cleanup() {
    [ -n "$wine_prefix" ] && id "$user" >/dev/null 2>&1 || return 0
    timeout 20 runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin \
        WINEPREFIX="$wine_prefix" wineserver -k 2>/dev/null
    [ -n "${uid:-}" ] && rm -rf "/tmp/.wine-$uid"
    return 0
}

# --- build and check the package file ------------------------------------------
wine_bridge_check_package() {
    local start=$SECONDS built
    # Under the strictest umask a builder may have, as the desk's packages.
    built="$(umask 077 && "$VANTRELLE_ROOT/tools/wine-bridge/package.sh" "$work/wine-bridge")"
    bridge_deb="$(tail -n 1 <<<"$built")"
    if [[ "$bridge_deb" != */vantrelle-wine-bridge_*.deb ]] || [ ! -f "$bridge_deb" ]; then
        echo "FAIL - tools/wine-bridge/package.sh printed no package's path last: $built"
        failed=$((failed + 1))
        bridge_deb=""
        return
    fi
    cp "$bridge_deb" "$work/"
    bridge_deb="$work/$(basename "$bridge_deb")"
    chmod 644 "$bridge_deb"
    echo "package: $bridge_deb"
    check "lintian reports no error or warning on the wine bridge's package" lintian_ok "$bridge_deb"
    check "the wine bridge's package gives everyone read access" modes_ok "$bridge_deb"
    local depends
    depends="$(dpkg-deb -f "$bridge_deb" Depends)"
    echo "Depends of vantrelle-wine-bridge: $depends"
    check "the wine bridge depends on wine and wine64" \
        bash -c '[[ ", $1," =~ ,\ wine[\ ,] && ", $1," =~ ,\ wine64[\ ,] ]]' _ "$depends"
    check "the desk neither depends on wine nor recommends it" bash -c \
        '[[ "$(dpkg-deb -f "$1" Depends Recommends)" != *wine* ]]' _ "$deb"
    dpkg-deb -c "$bridge_deb" | awk '{print $NF}' | sed 's#^\./#/#' >"$work/bridge-contents.txt"
    for path in /usr/bin/vantrelle-wine-bridge \
        /usr/lib/vantrelle-wine-bridge/vantrelle-wine-bridge.exe.so \
        /usr/share/man/man1/vantrelle-wine-bridge.1.gz \
        /usr/share/doc/vantrelle-wine-bridge/copyright \
        /usr/share/doc/vantrelle-wine-bridge/changelog.gz; do
        check "the wine bridge's package holds $path" grep -qx "$path" "$work/bridge-contents.txt"
    done
    # One source for both: what the desk's package says of its copyright and
    # history is what the bridge's says.
    same_doc() { # same_doc FILE: the same in both packages, and not empty
        local desk_file="$work/desk-$1" bridge_file="$work/bridge-$1"
        dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./usr/share/doc/vantrelle/$1" >"$desk_file" &&
            dpkg-deb --fsys-tarfile "$bridge_deb" |
            tar -xOf - "./usr/share/doc/vantrelle-wine-bridge/$1" >"$bridge_file" &&
            [ -s "$desk_file" ] && cmp "$desk_file" "$bridge_file"
    }
    for file in copyright changelog.gz; do
        check "the wine bridge's $file is the desk's" same_doc "$file"
    done
    check "the desk's package holds nothing of the wine bridge" \
        bash -c '! grep -q wine "$1"' _ "$work/contents.txt"
    bridge_seconds=$((bridge_seconds + SECONDS - start))
}

# --- a wine prefix of the user's, made while the desk runs -----------------------
# wineboot takes a while; it runs without the display, as the bridge's own
# tests make their prefix, beside the desk's runs.
wine_bridge_start_prefix() {
    [ -n "$bridge_deb" ] || return 0
    wine_prefix="$home/.wine-host"
    start_as_user env -u DISPLAY WINEPREFIX="$wine_prefix" WINEARCH=win64 WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" sh -c 'wineboot -i && wineserver -w' \
        >"$work/wineboot.txt" 2>&1 &
    wineboot_pid=$!
    pids+=("$wineboot_pid")
}

# --- installed, between the installed desk and a Windows host under wine --------
wine_bridge_run() {
    [ -n "$bridge_deb" ] || return 0
    local start=$SECONDS
    if [ -n "$wineboot_pid" ]; then
        wait "$wineboot_pid"
        echo "wine prefix made (waited $((SECONDS - start)) s for wineboot)"
        start=$SECONDS
    fi
    check "wineboot made a wine prefix in the user's home" test -f "$wine_prefix/system.reg"

    check "apt-get installs the wine bridge's package" \
        env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y \
        --no-install-recommends "$bridge_deb"
    dpkg -s vantrelle-wine-bridge >/dev/null 2>&1 || return 0
    dpkg -L vantrelle-wine-bridge | sort >>"$work/installed.txt"
    check "man vantrelle-wine-bridge shows the page" man_ok vantrelle-wine-bridge
    # The launcher answers these before wine or a prefix is looked for.
    check "vantrelle-wine-bridge --help and its manual page list the same options" \
        options_agree vantrelle-wine-bridge
    check "vantrelle-wine-bridge refuses an unknown option with status 2" bash -c \
        '/usr/bin/vantrelle-wine-bridge --frames >/dev/null 2>&1; [ $? -eq 2 ]'

    # A folder that is not a prefix: named, and not made into one.
    local rc=0
    in_wine_prefix env WINEPREFIX="$home" /usr/bin/vantrelle-wine-bridge --verbose \
        >"$work/no-prefix.txt" 2>&1 || rc=$?
    sed 's/^/    /' "$work/no-prefix.txt"
    check "the installed bridge refuses a WINEPREFIX that is not a prefix, saying why" bash -c \
        '[ "$1" -ne 0 ] && grep -qF "$2 is not a wine prefix (it has no system.reg)" "$3" &&
         [ ! -e "$2/system.reg" ]' _ "$rc" "$home" "$work/no-prefix.txt"

    local mock="$work/mock-host.exe" log="$home/mock-host.log"
    x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -o "$mock" \
        "$VANTRELLE_ROOT/tests/wine-bridge/mock_host.c" && chmod 644 "$mock"
    check "mingw builds the Windows mock host" test -s "$mock"
    start_as_user env WINEPREFIX="$wine_prefix" WINEDEBUG=-all wine "$mock" --log "$log" \
        >"$work/mock-host.txt" 2>&1 &
    local mock_pid=$!
    pids+=("$mock_pid")
    check "the mock host makes its THXMainForm window under wine" wait_for 60 \
        grep -qsx ready "$log"

    # The bridge refuses to start beside a live host.
    kill "$monitor" 2>/dev/null
    wait "$monitor" 2>/dev/null
    check "the reference host has stopped" wait_for 10 test ! -S "$runtime/THXMainForm"
    start_as_user env WINEPREFIX="$wine_prefix" /usr/bin/vantrelle-wine-bridge --verbose \
        >"$work/bridge.txt" 2>&1 &
    local bridge=$!
    pids+=("$bridge")
    check "the installed bridge listens at the desk's socket" wait_for 60 \
        grep -q " listening at $runtime/THXMainForm\$" "$work/bridge.txt"

    start_as_user /usr/bin/vantrelle >"$work/desk3.out" 2>&1 &
    local desk=$!
    pids+=("$desk")
    check "the installed desk opens its window beside the bridge" wait_for 30 has_window "$title"
    local window
    window="$(find_window "$title")"
    local frame_line='^copydata 100 200 [0-9a-f]{1024}$'
    check "the mock host receives the desk's frames as WM_COPYDATA (dwData 256, 512 bytes)" \
        wait_for 30 grep -qsE "$frame_line" "$log"
    check "every WM_COPYDATA the mock host received is a whole frame" bash -c \
        '! grep "^copydata " "$1" | grep -qvE "$2"' _ "$log" "$frame_line"
    if [ -n "$window" ]; then
        # Preferences > Pass Keypresses To Halvex, then A typed into the desk:
        # key-down and key-up with the virtual key 0x41 and scan code 0x1E.
        xdotool mousemove --window "$window" 300 300 click 1
        xdotool key --delay 100 alt+p p
        sleep 0.5
        xdotool key a
        check "a key typed into the desk reaches the window as WM_KEYDOWN" \
            wait_for 15 grep -qsx 'key 100 41 1e0001' "$log"
        check "... and its release as WM_KEYUP" wait_for 15 grep -qsx 'key 101 41 c01e0001' "$log"

        xdotool mousemove --window "$window" 300 300 click 1
        xdotool key --delay 100 alt+f x
        wait_for 20 bash -c 'xdotool search --onlyvisible --name "^Warning$" >/dev/null 2>&1 ||
            ! kill -0 "$1" 2>/dev/null' _ "$desk"
        has_window '^Warning$' && xdotool key alt+n
        check "File > Exit ends the desk beside the bridge" wait_for 30 \
            bash -c '! kill -0 "$1" 2>/dev/null' _ "$desk"
    fi
    kill "$desk" 2>/dev/null
    wait "$desk" 2>/dev/null
    check "the bridge's --verbose output tells of frames handled by the window" \
        grep -q 'frame handled by window 0x' "$work/bridge.txt"
    check "... and of the key posted to it" \
        grep -q 'wParam 0x41 lParam 0x1e0001 posted to window 0x' "$work/bridge.txt"

    # SIGTERM to the bridge itself (runuser's one child; the launcher and
    # wine exec it): runuser then ends with the bridge's own status.
    local program
    program="$(pgrep -P "$bridge" | head -n 1)"
    kill "${program:-$bridge}" 2>/dev/null
    rc=0
    wait "$bridge" || rc=$?
    echo "bridge said (first and last lines):"
    sed -n '1,8p;$p' "$work/bridge.txt" | sed 's/^/    /'
    check "SIGTERM stops the bridge with status 0" bash -c \
        '[ -n "$1" ] && [ "$2" -eq 0 ] && tail -n 1 "$3" | grep -q " stopping$"' \
        _ "$program" "$rc" "$work/bridge.txt"
    check "the stopped bridge has removed its socket" test ! -e "$runtime/THXMainForm"
    in_wine_prefix wineserver -k
    check "wineserver -k ends the mock host" wait_for 20 bash -c '! kill -0 "$1" 2>/dev/null' _ "$mock_pid"
    wait "$mock_pid" 2>/dev/null
    bridge_seconds=$((bridge_seconds + SECONDS - start))
}
