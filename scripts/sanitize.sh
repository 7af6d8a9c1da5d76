#!/usr/bin/env bash
# Builds the unit, widget and fuzz tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in a tree of their own and runs them. The
# benchmarks and the end-to-end tests are left out: their speed and their
# real X session say nothing more under the sanitizers.
set -euo pipefail
source "$(dirname "$0")/common.sh"

SANITIZE_BUILD="${VANTRELLE_SANITIZE_BUILD:-$VANTRELLE_ROOT/build-asan}"
started=$(date +%s)

# Light optimisation and line tables only: the build is most of the cost,
# and a report needs no more than file and line.
configure_tree "$SANITIZE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG" \
    -DVANTRELLE_SANITIZE=address,undefined -DVANTRELLE_BENCH=OFF -DVANTRELLE_E2E=OFF
cmake --build "$SANITIZE_BUILD" -- -j"$(nproc)"
built=$(date +%s)

# Leaks are reported, except those of the system's libraries (listed in the
# suppressions file), which keep caches for the life of the process.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$VANTRELLE_ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
ctest --test-dir "$SANITIZE_BUILD" --output-on-failure -j"$(nproc)" -LE 'e2e|bench' "$@" || status=$?
finished=$(date +%s)

echo "sanitizer build: $((built - started)) s, tests: $((finished - built)) s"
exit $status
