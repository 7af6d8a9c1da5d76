#!/usr/bin/env bash
# Builds the Debian package of the desk and the reference host in its own
# Release tree (build-package/) and prints the package's path as its last line.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
# Only what building the programs and the package needs: no test libraries.
VANTRELLE_PACKAGES=(
    cmake ninja-build clang qt6-base-dev qt6-base-dev-tools libgl-dev
    dpkg-dev fakeroot file gzip
)
ensure_packages

build="${VANTRELLE_PACKAGE_BUILD:-$VANTRELLE_ROOT/build-package}"
# Debian's hardening flags, as a package built by its own tools would get.
buildflags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
ldflags="$(buildflags LDFLAGS)"
configure_tree "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVANTRELLE_TESTS=OFF -DVANTRELLE_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(buildflags CPPFLAGS) $(buildflags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >&2
# Only what the package holds; the galleries stay unbuilt.
cmake --build "$build" --target vantrelle vantrelle-monitor vantrelle_desktop_data \
    -- -j"$(nproc)" >&2
rm -f "$build"/vantrelle_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/vantrelle_*.deb
