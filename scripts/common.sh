# Shared by run.sh, test.sh, package.sh and the scripts in scripts/ and
# tests/package: installs what is missing from Debian's packages and
# configures the build trees.

VANTRELLE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VANTRELLE_BUILD="${VANTRELLE_BUILD:-$VANTRELLE_ROOT/build}"
# The PNG icon sizes committed beside data/icons/vantrelle.svg.
VANTRELLE_ICON_SIZES="16 22 24 32 48 64 128 256"

VANTRELLE_PACKAGES=(
    cmake ninja-build clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils imagemagick openbox libxcb-damage0-dev libxcb-xtest0-dev
    fonts-liberation2 fonts-dejavu-core
    pkg-config libfontconfig-dev libola-dev ola tshark iproute2 util-linux
    python3
    wine wine64 wine64-tools libwine-dev gcc-mingw-w64-x86-64-win32
    libglib2.0-bin xdg-utils libfile-mimeinfo-perl shared-mime-info desktop-file-utils
    qt6-httpserver-dev qt6-websockets-dev chromium nodejs npm
    librtmidi-dev liblo-dev liblo-tools jackd2 libjack-jackd2-dev python3-jack-client
)

ensure_packages() {
    local missing=()
    for p in "${VANTRELLE_PACKAGES[@]}"; do
        # A Node.js installed some other way brings its own npm, which
        # Debian's npm package conflicts with: the commands are what counts.
        case "$p" in nodejs | npm) command -v "${p/nodejs/node}" >/dev/null && continue ;; esac
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    # Another apt run on the machine holds the lock for a while: wait for it.
    local lock=(-o DPkg::Lock::Timeout=600)
    "${sudo[@]}" apt-get "${lock[@]}" update -qq
    "${sudo[@]}" apt-get "${lock[@]}" install -y --no-install-recommends "${missing[@]}"
}

# configure_tree BUILD_DIR [CMAKE_ARGS...]: the one configure step of every
# build tree (build/, build-package/, build-asan/). clang (or the compilers in
# VANTRELLE_CC and VANTRELLE_CXX), Ninja, ccache where installed and
# VANTRELLE_WERROR (OFF unless set), then the caller's own
# arguments (build type, flags, options), which come last and so may override
# these. A tree that is configured already (it has its build.ninja) is left
# as it is.
configure_tree() {
    local build="$1"
    shift
    [ -f "$build/build.ninja" ] && return 0
    local launcher=()
    # A compiler cache, where one is installed, makes rebuilds of other checkouts quick.
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    CC="${VANTRELLE_CC:-clang}" CXX="${VANTRELLE_CXX:-clang++}" cmake -S "$VANTRELLE_ROOT" -B "$build" -G Ninja \
        -DVANTRELLE_WERROR="${VANTRELLE_WERROR:-OFF}" "${launcher[@]}" "$@"
}

# debian_buildflags NAME: Debian's value of a build flag (CFLAGS, LDFLAGS, ...),
# its -O2 and full hardening, as a package built by its own tools gets.
debian_buildflags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }

# fresh_tree_unless BUILD LINE...: removes the build tree unless its
# CMakeCache.txt holds every LINE exactly, so that a tree configured with
# other compilers or flags starts afresh.
fresh_tree_unless() {
    local build="$1" line
    shift
    [ -f "$build/CMakeCache.txt" ] || return 0
    for line in "$@"; do
        grep -qxF -- "$line" "$build/CMakeCache.txt" || {
            rm -rf "$build"
            return 0
        }
    done
}

# The one build tree of run.sh and test.sh: configured, then built whole, or
# only the targets given (what they load is built with them).
configure_and_build() {
    configure_tree "$VANTRELLE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    cmake --build "$VANTRELLE_BUILD" "${targets[@]}" -- -j"$(nproc)"
}

# desk_title_pattern BIN_DIR: the regular expression (for xdotool's --name)
# of the desk's window title, "Vantrelle <version>", with the version the
# built desk prints for --version.
desk_title_pattern() {
    local version
    version="$("$1/vantrelle" --version)" || return 1
    version="${version#vantrelle }"
    printf '^Vantrelle %s\n' "${version//./\\.}"
}
