#!/bin/sh
# Starts the wine bridge under wine, in the prefix of the user's Windows host
# program, after checking what wine would otherwise get wrong quietly (a
# missing prefix would be created afresh, with no host window in it).
me=vantrelle-wine-bridge
usage() {
    cat <<USAGE
usage: $me [--verbose]
       $me --help
Hands the desk's frames and keys to the window of class THXMainForm of a
Windows host program under wine, as WM_COPYDATA and posted key messages.
  --verbose  print one line per event
  --help     print this and exit
WINEPREFIX names the wine prefix the host program runs in (else ~/.wine);
the socket is made in XDG_RUNTIME_DIR, where the desk looks for its host.
USAGE
}
# The options first, so that help needs neither wine nor a prefix, and a
# mistyped option is named before any prefix is looked at.
for arg in "$@"; do
    case "$arg" in
    --help)
        usage
        exit 0
        ;;
    --verbose) ;;
    *)
        echo "$me: unknown option $arg" >&2
        usage >&2
        exit 2
        ;;
    esac
done
here=$(dirname "$(readlink -f "$0")")
program=
for candidate in "$here/$me.exe.so" "$here/../lib/$me/$me.exe.so"; do
    if [ -f "$candidate" ]; then
        program=$candidate
        break
    fi
done
if [ -z "$program" ]; then
    echo "$me: $me.exe.so is missing beside $here" >&2
    exit 1
fi
if ! command -v wine >/dev/null 2>&1; then
    echo "$me: wine is not installed (on Debian: apt install wine wine64)" >&2
    exit 1
fi
if [ -z "$WINEPREFIX" ]; then
    if [ ! -d "$HOME/.wine" ]; then
        echo "$me: WINEPREFIX is not set and there is no $HOME/.wine:" \
            "set WINEPREFIX to the wine prefix your Windows host program runs in" >&2
        exit 1
    fi
    WINEPREFIX=$HOME/.wine
    echo "$me: WINEPREFIX is not set; using $WINEPREFIX" >&2
fi
case "$WINEPREFIX" in
/*) ;;
*)
    echo "$me: WINEPREFIX must be an absolute path, not $WINEPREFIX" >&2
    exit 1
    ;;
esac
if [ ! -d "$WINEPREFIX" ]; then
    echo "$me: the wine prefix $WINEPREFIX does not exist:" \
        "set WINEPREFIX to the prefix your Windows host program runs in" >&2
    exit 1
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$me: $WINEPREFIX is not a wine prefix (it has no system.reg):" \
        "run your host program in it first, or name the prefix it runs in" >&2
    exit 1
fi
if [ ! -O "$WINEPREFIX" ]; then
    echo "$me: the wine prefix $WINEPREFIX belongs to another user" >&2
    exit 1
fi
if grep -q '^#arch=win32' "$WINEPREFIX/system.reg"; then
    echo "$me: $WINEPREFIX is a 32-bit prefix; the bridge runs in a 64-bit one" \
        "(made with WINEARCH=win64, the default)" >&2
    exit 1
fi
export WINEPREFIX
# wine's own notes would bury the bridge's lines; WINEDEBUG set by the user wins.
export WINEDEBUG="${WINEDEBUG--all}"
exec wine "$program" "$@"
