#!/usr/bin/env bash
# Builds the Debian packages of the desk (with the reference host) and of its
# OLA output module in their own Release tree (build-package/), with GCC and
# warnings as errors, as Debian's own build would, and prints the packages'
# paths, the desk's last. Installs what the build needs with apt-get, through
# sudo when not run as root.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
# Only what building the programs and the packages needs: no test libraries.
VANTRELLE_PACKAGES=(
    cmake ninja-build gcc g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-httpserver-dev
    qt6-websockets-dev libgl-dev libx11-dev libfontconfig-dev libola-dev librtmidi-dev
    libjack-jackd2-dev liblo-dev dpkg-dev fakeroot file gzip
)
ensure_packages

# What a package holds must not depend on who builds it: files and folders
# are made as dpkg-buildpackage makes them, whatever the caller's umask.
umask 022
build="${VANTRELLE_PACKAGE_BUILD:-$VANTRELLE_ROOT/build-package}"
# Debian's flags; Release adds only NDEBUG.
ldflags="$(debian_buildflags LDFLAGS)"
# A tree configured before with another compiler or without -Werror starts afresh.
fresh_tree_unless "$build" "CMAKE_CXX_COMPILER:FILEPATH=$(command -v g++)" \
    VANTRELLE_WERROR:BOOL=ON CMAKE_CXX_FLAGS_RELEASE:STRING=-DNDEBUG
VANTRELLE_CC=gcc VANTRELLE_CXX=g++ VANTRELLE_WERROR=ON \
    configure_tree "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVANTRELLE_TESTS=OFF -DVANTRELLE_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(debian_buildflags CPPFLAGS) $(debian_buildflags CXXFLAGS)" -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >&2
# Only what the packages hold; the galleries stay unbuilt.
cmake --build "$build" --target vantrelle vantrelle-monitor vantrelle_ola_module \
    vantrelle_desktop_data -- -j"$(nproc)" >&2
rm -f "$build"/vantrelle*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/vantrelle-ola_*.deb "$build"/vantrelle_*.deb
