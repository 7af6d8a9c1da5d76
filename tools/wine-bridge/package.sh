#!/usr/bin/env bash
# Builds the optional package vantrelle-wine-bridge (the desk's own package
# never depends on wine): ./tools/wine-bridge/package.sh [OUT_DIR]
# The bridge is built in its own tree, build-wine-bridge/, and the .deb is
# written to OUT_DIR (default: that tree).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/common.sh"
ensure_packages

build="$VANTRELLE_ROOT/build-wine-bridge"
out="$(mkdir -p "${1:-$build}" && cd "${1:-$build}" && pwd)"
configure_tree "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRELLE_TESTS=OFF \
    -DVANTRELLE_BENCH=OFF -DVANTRELLE_E2E=OFF
cmake --build "$build" --target vantrelle-wine-bridge -- -j"$(nproc)"

version="$(sed -n 's/^project(Vantrelle VERSION \([0-9.]*\).*/\1/p' "$VANTRELLE_ROOT/CMakeLists.txt")"
arch="$(dpkg --print-architecture)"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
root="$stage/vantrelle-wine-bridge"
install -d "$root/DEBIAN" "$root/usr/bin" "$root/usr/lib/vantrelle-wine-bridge" \
    "$root/usr/share/doc/vantrelle-wine-bridge"
install -m 0755 "$here/vantrelle-wine-bridge.sh" "$root/usr/bin/vantrelle-wine-bridge"
install -m 0644 "$build/tools/wine-bridge/vantrelle-wine-bridge.exe.so" \
    "$root/usr/lib/vantrelle-wine-bridge/vantrelle-wine-bridge.exe.so"
strip --strip-unneeded "$root/usr/lib/vantrelle-wine-bridge/vantrelle-wine-bridge.exe.so"
install -m 0644 "$here/README.md" "$root/usr/share/doc/vantrelle-wine-bridge/README.md"
size="$(du -sk "$root/usr" | cut -f1)"
cat > "$root/DEBIAN/control" <<CONTROL
Package: vantrelle-wine-bridge
Version: $version
Architecture: $arch
Section: misc
Priority: optional
Installed-Size: $size
Maintainer: The Vantrelle developers <vantrelle@example.org>
Depends: wine (>= 8.0), wine64 (>= 8.0), libc6
Enhances: vantrelle
Description: Hands the Vantrelle desk's frames and keys to a Windows host under wine
 A host on the desk's socket that passes every channel frame to the window
 of class THXMainForm as WM_COPYDATA and every forwarded key as a posted key
 message, for lighting hosts that run under wine.
CONTROL
deb="$out/vantrelle-wine-bridge_${version}_${arch}.deb"
dpkg-deb --root-owner-group --build "$root" "$deb" >/dev/null
echo "$deb"
