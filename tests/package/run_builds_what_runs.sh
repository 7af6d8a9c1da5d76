#!/usr/bin/env bash
# run.sh builds only the targets it names: they must bring everything the desk
# and the reference host load at run time, and none of the tests or benchmarks.
# usage: run_builds_what_runs.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source_dir="$1"
build="$2"
targets="$(sed -n 's/^configure_and_build \(.*\)$/\1/p' "$source_dir/run.sh")"
if [ -z "$targets" ]; then
    echo "FAIL - run.sh names no targets: it would build everything"
    exit 1
fi
# Every command the named targets need, built or not.
commands="$(ninja -C "$build" -t commands $targets)" || exit 1
status=0
need() { # need "what" pattern
    if grep -qE -- "$2" <<<"$commands"; then
        echo "ok   - run.sh's build makes $1"
    else
        echo "FAIL - run.sh's build does not make $1"
        status=1
    fi
}
need "the desk" '-o bin/vantrelle( |$)'
need "the reference host" '-o bin/vantrelle-monitor( |$)'
need "the OLA module the desk loads" 'bin/vantrelle-ola\.so'
need "the Readme the desk shows" 'bin/Readme\.rtf'
if grep -qE -- '(_test|_bench|_fuzzer)(\.dir|[ "])' <<<"$commands"; then
    echo "FAIL - run.sh's build makes tests or benchmarks:"
    grep -oE -- '-o [^ ]*(_test|_bench|_fuzzer)[^ ]*' <<<"$commands" | head -n 5
    status=1
else
    echo "ok   - run.sh's build makes no test or benchmark"
fi
echo "run.sh builds $(wc -l <<<"$commands") of $(ninja -C "$build" -t commands | wc -l) build steps"
exit $status
