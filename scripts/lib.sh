# Shared by scripts/run and scripts/test: system packages and the build folders.
# shellcheck shell=bash

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"

# Debian 12 packages the program and its tests need.
required_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-translations-l10n
    libjpeg-dev libtiff-dev libgif-dev libpng-dev zlib1g-dev libsane-dev
    libgtest-dev libgmock-dev libbenchmark-dev
)

# Building the Debian package: dpkg-shlibdeps and file find its dependencies.
package_packages=(dpkg-dev file)

# Independent image tools the tests cross-check the image files against, and the checkers of
# the desktop files, the metadata and the manual page; the tests build the package too.
test_packages=(netpbm imagemagick desktop-file-utils libxml2-utils poppler-utils xvfb xauth
    libsane1 appstream groff-base "${package_packages[@]}")

# Installs whatever is missing from the given packages (non-interactive, no-op when complete).
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    if ! "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        "${sudo[@]}" apt-get update -q
        "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

# configure_and_build BUILD_DIR TARGET [cmake options...]
configure_and_build() {
    local dir="$1" target="$2"
    shift 2
    cmake -S "$repo_root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" --target "$target" -j "$jobs"
}
