#!/usr/bin/env bash
# Builds the optional package vantrelle-wine-bridge (the desk's own package
# never depends on wine): ./tools/wine-bridge/package.sh [OUT_DIR]
# The bridge is built in its own tree, build-wine-bridge/, with GCC and
# Debian's flags, as Debian's own build would; the .deb is written to OUT_DIR
# (default: that tree) and its path is the last line printed. Installs what
# the build needs with apt-get, through sudo when not run as root.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/common.sh"
# Only what the build and the package need: the project's configure step
# (Qt and the libraries its folders look for), winegcc, dpkg's tools.
VANTRELLE_PACKAGES=(
    cmake ninja-build gcc g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-httpserver-dev
    qt6-websockets-dev libgl-dev libx11-dev libfontconfig-dev libola-dev librtmidi-dev
    libjack-jackd2-dev liblo-dev wine64-tools libwine-dev dpkg-dev binutils gzip
)
ensure_packages >&2

# What the package holds must not depend on who builds it.
umask 022
build="$VANTRELLE_ROOT/build-wine-bridge"
out="$(mkdir -p "${1:-$build}" && cd "${1:-$build}" && pwd)"
# Debian's flags; Release adds only NDEBUG. A tree configured before with
# other compilers or flags starts afresh.
cflags="$(debian_buildflags CPPFLAGS) $(debian_buildflags CFLAGS)"
ldflags="$(debian_buildflags LDFLAGS)"
fresh_tree_unless "$build" "CMAKE_C_COMPILER:FILEPATH=$(command -v gcc)" \
    "CMAKE_C_FLAGS:STRING=$cflags" "CMAKE_SHARED_LINKER_FLAGS:STRING=$ldflags"
VANTRELLE_CC=gcc VANTRELLE_CXX=g++ configure_tree "$build" -DCMAKE_BUILD_TYPE=Release \
    -DVANTRELLE_TESTS=OFF -DVANTRELLE_BENCH=OFF -DVANTRELLE_E2E=OFF \
    -DCMAKE_C_FLAGS="$cflags" -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >&2
# The bridge, and the manual page and changelog made in data/ (the desk's
# own changelog and copyright: the two packages come from one source).
cmake --build "$build" --target vantrelle-wine-bridge vantrelle_desktop_data -- -j"$(nproc)" >&2
if [ ! -f "$build/tools/wine-bridge/vantrelle-wine-bridge.exe.so" ]; then
    echo "package.sh: the bridge was not built: is winegcc (wine64-tools) installed?" >&2
    exit 1
fi

version="$(sed -n 's/^project(Vantrelle VERSION \([0-9.]*\).*/\1/p' "$VANTRELLE_ROOT/CMakeLists.txt")"
arch="$(dpkg --print-architecture)"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
root="$stage/vantrelle-wine-bridge"
desktop="$build/data/desktop"
doc="$root/usr/share/doc/vantrelle-wine-bridge"
install -d -m 0755 "$root" "$root/DEBIAN" "$root/usr" "$root/usr/bin" "$root/usr/lib" \
    "$root/usr/lib/vantrelle-wine-bridge" "$root/usr/share" "$root/usr/share/doc" "$doc" \
    "$root/usr/share/man" "$root/usr/share/man/man1"
install -m 0755 "$here/vantrelle-wine-bridge.sh" "$root/usr/bin/vantrelle-wine-bridge"
lib="$root/usr/lib/vantrelle-wine-bridge/vantrelle-wine-bridge.exe.so"
install -m 0644 "$build/tools/wine-bridge/vantrelle-wine-bridge.exe.so" "$lib"
# As dh_strip strips a shared object.
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$lib"
install -m 0644 "$VANTRELLE_ROOT/data/copyright" "$doc/copyright"
install -m 0644 "$desktop/changelog.gz" "$doc/changelog.gz"
gzip -9nc "$here/README.md" >"$doc/README.md.gz"
chmod 0644 "$doc/README.md.gz"
install -m 0644 "$desktop/vantrelle-wine-bridge.1.gz" "$root/usr/share/man/man1/vantrelle-wine-bridge.1.gz"
size="$(du -sk "$root/usr" | cut -f1)"
# Debian 12's wine is 8.0~repack, which sorts before 8.0 itself.
cat >"$root/DEBIAN/control" <<CONTROL
Package: vantrelle-wine-bridge
Version: $version
Architecture: $arch
Section: misc
Priority: optional
Installed-Size: $size
Maintainer: The Vantrelle developers <vantrelle@example.org>
Depends: wine (>= 8.0~), wine64 (>= 8.0~), libc6
Enhances: vantrelle
Description: Hands the Vantrelle desk's frames and keys to a Windows host under wine
 A host on the desk's socket that passes every channel frame to the window
 of class THXMainForm as WM_COPYDATA and every forwarded key as a posted key
 message, for lighting hosts that run under wine.
CONTROL
(cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
deb="$out/vantrelle-wine-bridge_${version}_${arch}.deb"
dpkg-deb --root-owner-group --build "$root" "$deb" >/dev/null
echo "$deb"
