#!/usr/bin/env bash
# Builds the desk and runs every test: unit, widget and end-to-end.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
ensure_packages
configure_and_build
ctest --test-dir "$VANTRELLE_BUILD" --output-on-failure -j"$(nproc)" "$@"
