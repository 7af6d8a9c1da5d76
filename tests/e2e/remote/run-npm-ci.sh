#!/bin/sh
# Sets up the page driver in a folder of the build: its files, and its one
# dependency installed from the lock file (again only when the lock changed).
set -e
here="$(cd "$(dirname "$0")" && pwd)"
target="$1"
[ -n "$target" ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
mkdir -p "$target"
cp "$here/package.json" "$here/package-lock.json" "$here/driver.js" "$target/"
cd "$target"
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --no-audit --no-fund --loglevel=error
fi
