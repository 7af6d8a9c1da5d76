#!/usr/bin/env bash
# Every option a program lists in --help is in its manual page's source, and
# back; the package test checks the same on the installed, rendered pages.
# usage: options_match.sh BIN_DIR MAN_DIR PROGRAM...
set -uo pipefail
bin="$1"
man="$2"
shift 2
status=0
for program in "$@"; do
    help="$(env -u DISPLAY "$bin/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
    page="$(sed 's/\\-/-/g' "$man/$program.1" | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
    if [ -z "$help" ] || [ "$help" != "$page" ]; then
        echo "FAIL - $program: --help (<) and $program.1 (>) differ"
        diff <(echo "$help") <(echo "$page")
        status=1
    else
        echo "ok   - $program"
    fi
done
exit $status
