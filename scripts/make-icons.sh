#!/usr/bin/env bash
# Renders the committed PNG icons from data/icons/vantrelle.svg, one per size
# the desktop asks for. Run after changing the drawing.
set -euo pipefail
source "$(dirname "$0")/common.sh"
VANTRELLE_PACKAGES=(librsvg2-bin optipng)
ensure_packages
icons="$VANTRELLE_ROOT/data/icons"
for size in $VANTRELLE_ICON_SIZES; do
    out="$icons/vantrelle-$size.png"
    rsvg-convert -w "$size" -h "$size" "$icons/vantrelle.svg" -o "$out"
    optipng -quiet -strip all -o5 "$out"
    echo "$out"
done
