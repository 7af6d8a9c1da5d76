#!/bin/sh
# Installs the page driver's one dependency from the lock file, once.
set -e
cd "$(dirname "$0")"
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --no-audit --no-fund --loglevel=error
fi
