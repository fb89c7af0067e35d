# SPDX-License-Identifier: MIT
# Shared by scripts/run and scripts/test: installs the Debian packages that are missing (one
# apt-get update, only when something is missing) and builds in build/.
set -euo pipefail

MERROWIND_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MERROWIND_BUILD="$MERROWIND_ROOT/build"
MERROWIND_SANITIZED_BUILD="$MERROWIND_ROOT/build-sanitize"

merrowind_install() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

MERROWIND_BUILD_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libepoxy-dev libglu1-mesa-dev libx11-dev libwayland-dev libgl1-mesa-dri libegl1-mesa libgtest-dev libimgui-dev libpng-dev)
MERROWIND_TEST_PACKAGES=(xvfb xauth xfonts-base fontconfig xdotool x11-apps x11-utils imagemagick openbox wmctrl weston xwayland dpkg-dev file lintian devscripts desktop-file-utils appstream
    clang libclang-rt-14-dev glslang-tools sway grim wtype)

merrowind_build() {
    cmake -S "$MERROWIND_ROOT" -B "$MERROWIND_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$MERROWIND_BUILD" -j"$(nproc)"
}

# The same program and tests under AddressSanitizer and UndefinedBehaviorSanitizer, at the
# sanitizers' usual -O1 and with line tables only: enough for their reports' stacks, and it
# compiles in two thirds of the time of -O2 with full debugging information.
merrowind_build_sanitized() {
    cmake -S "$MERROWIND_ROOT" -B "$MERROWIND_SANITIZED_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DMERROWIND_SANITIZE=ON >/dev/null
    cmake --build "$MERROWIND_SANITIZED_BUILD" -j"$(nproc)"
}
