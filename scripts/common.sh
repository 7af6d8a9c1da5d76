# Shared by run.sh, test.sh and .ci/run: installs what is missing from
# Debian's packages and configures the one build tree.

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
)

ensure_packages() {
    local missing=()
    for p in "${VANTRELLE_PACKAGES[@]}"; do
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

configure_and_build() {
    if [ ! -f "$VANTRELLE_BUILD/build.ninja" ]; then
        local launcher=()
        # A compiler cache, where one is installed, makes rebuilds of other checkouts quick.
        command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        CC=clang CXX=clang++ cmake -S "$VANTRELLE_ROOT" -B "$VANTRELLE_BUILD" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRELLE_WERROR="${VANTRELLE_WERROR:-OFF}" "${launcher[@]}"
    fi
    cmake --build "$VANTRELLE_BUILD" -- -j"$(nproc)"
}
