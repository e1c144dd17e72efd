#!/usr/bin/env bash
# Sets up, builds and starts Dotforge, or runs the whole test suite.
#
#   ./dotforge.sh start     install what is missing, build, start the window
#   ./dotforge.sh test      install what is missing, build, run every test (CTest)
#   ./dotforge.sh package   install what is missing, build for /usr with Debian's
#                           flags, make the Debian package BUILD_DIR/dotforge_*.deb
#
# Installing needs root (or sudo) on Debian 12. BUILD_DIR chooses the build folder
# (default: ./build); the window runs in BUILD_DIR/run, which holds "Font16s". The
# package is built in BUILD_DIR/package.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${BUILD_DIR:-$here/build}"
jobs="$(nproc 2>/dev/null || echo 2)"

packages=(
    cmake make g++ pkg-config
    qt6-base-dev libgtest-dev
    libcairo2-dev                  # dotforge-cli proof: PDF and PNG sheets
    libfreetype-dev libfontconfig-dev  # the TrueType rasteriser
    qt6-translations-l10n          # Qt's standard dialogs in Chinese
    unifont unicode-data bzip2     # the data "Font16s" is generated from
    fonts-arphic-uming             # stands in for 宋体
)
# What only the tests need.
test_packages=(
    fonts-arphic-gbsn00lp fonts-unifont  # tests: the rasteriser against Qt in more faces
    fonts-noto-cjk                 # tests: a CFF face, the fallback of faces without CJK
    xfonts-wqy pcf2bdf xfonts-utils fontforge-nox  # tests: a bitmap font, its PCF as text, BDF read by others
    nasm poppler-utils             # tests: assembling .ASM output, reading printed pages
    clang libclang-rt-14-dev       # tests: the fuzz targets
    clang-format                   # tests: the tree is formatted with .clang-format
    gcc-arm-none-eabi              # tests: C output built for a Cortex-M0
    desktop-file-utils appstream   # tests: the installed desktop entry and metadata validate
    man-db bash-completion         # tests: the manual pages render, the completion completes
    lintian                        # tests: the Debian package (with DOTFORGE_PACKAGE_TEST=1)
)
# What making the Debian package needs besides the build.
package_packages=(
    dpkg-dev                       # dpkg-buildflags, dpkg-shlibdeps
)

# Installs those of the packages given that are missing.
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
            exit 1
        fi
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_all() {
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j "$jobs"
}

case "${1:-}" in
start)
    install_missing "${packages[@]}"
    build_all
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "Dotforge is a desktop program and there is no display here." >&2
        echo "On a machine without a screen, run it under Xvfb:" >&2
        echo "  apt-get install -y xvfb xauth && (cd '$build/run' && xvfb-run -a '$build/app/dotforge')" >&2
        exit 1
    fi
    cd "$build/run"
    exec "$build/app/dotforge"
    ;;
test)
    install_missing "${packages[@]}" "${test_packages[@]}" "${package_packages[@]}"
    build_all
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
    ;;
package)
    install_missing "${packages[@]}" "${package_packages[@]}"
    # Debian's build flags with every hardening option; the file prefix map
    # they carry names this folder, so that the binaries do not hold its path.
    flags() { (cd "$here" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
    cmake -S "$here" -B "$build/package" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
        -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)"
    cmake --build "$build/package" -j "$jobs"
    (cd "$build/package" && cpack -G DEB)
    mv "$build"/package/dotforge_*.deb "$build/"
    ls "$build"/dotforge_*.deb
    ;;
*)
    echo "usage: $0 start|test|package" >&2
    exit 1
    ;;
esac
