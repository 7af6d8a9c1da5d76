#!/usr/bin/env bash
# Runs the layout reader's and the host answers' fuzzers for CI's spare time
# (VANTRELLE_FUZZ_SECONDS each, both at once), starting from the corpus kept
# in the repository. Inputs that reach new code are merged into that corpus,
# so the next run goes on from there, and each run's executions are added
# to the fuzzer's ledger beside it (commit both to keep them). Needs the
# fuzz targets of the build tree (test.sh builds them with clang).
set -euo pipefail
source "$(dirname "$0")/common.sh"

seconds="${VANTRELLE_FUZZ_SECONDS:-240}"
bin="$VANTRELLE_BUILD/bin"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# name folder max_len seeds (read only, beside the kept corpus)
targets=(
    "layout_reader_fuzz layoutfile 40000 $VANTRELLE_BUILD/fuzz/layoutfile/seeds"
    "hostlink_answer_fuzz hostlink 256 $VANTRELLE_ROOT/fuzz/hostlink/seeds"
)

cmake --build "$VANTRELLE_BUILD" --target layout_reader_fuzz hostlink_answer_fuzz -- -j"$(nproc)"

pids=()
for t in "${targets[@]}"; do
    read -r name folder max_len seeds <<<"$t"
    mkdir -p "$work/$name"
    # New inputs go to the scratch corpus first; the kept one is read only.
    "$bin/$name" -seed="$RANDOM" -max_total_time="$seconds" -timeout=10 -max_len="$max_len" \
        -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$work/$name-" \
        "$work/$name" "$VANTRELLE_ROOT/fuzz/$folder/corpus" "$seeds" \
        >"$work/$name.log" 2>&1 &
    pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
    read -r name folder max_len seeds <<<"${targets[$i]}"
    if ! wait "${pids[$i]}"; then
        echo "$name found a fault:"
        tail -n 60 "$work/$name.log"
        cp "$work/$name-"* "$VANTRELLE_BUILD/" 2>/dev/null || true
        status=1
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log" | tail -n 1)
    runs="${runs:-0}"
    corpus="$VANTRELLE_ROOT/fuzz/$folder/corpus"
    # Only inputs that add coverage to the kept corpus join it.
    "$bin/$name" -merge=1 -max_len="$max_len" "$corpus" "$seeds" "$work/$name" \
        >"$work/$name.merge.log" 2>&1
    ledger="$VANTRELLE_ROOT/fuzz/$folder/executions.tsv"
    printf '%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$runs" \
        "$(git -C "$VANTRELLE_ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)" >>"$ledger"
    total=$(awk -F'\t' '{ s += $2 } END { printf "%d", s }' "$ledger")
    echo "$name: $runs executions in ${seconds} s; $total in all recorded runs; corpus $(ls "$corpus" | wc -l) inputs"
done
exit $status
