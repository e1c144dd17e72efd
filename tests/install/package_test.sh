#!/usr/bin/env bash
# The Debian package: ./dotforge.sh package makes it in a folder of its own,
# lintian finds no error in it, apt installs it with its dependencies, both
# programs start, and apt remove --purge leaves none of its files behind.
#
#   package_test.sh SOURCE_DIR WORK_DIR VERSION
#
# It installs into the system, so it runs only with DOTFORGE_PACKAGE_TEST=1
# (CI, as root on a fresh machine); elsewhere it is skipped (exit status 77).
set -u
if [ "${DOTFORGE_PACKAGE_TEST:-}" != 1 ]; then
    echo "skipped: DOTFORGE_PACKAGE_TEST=1 builds, installs and removes the Debian package on this system"
    exit 77
fi
source_dir="$1"
work="$2"
version="$3"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
[ "$(id -u)" = 0 ] || {
    echo "installing the package needs root"
    exit 1
}
if dpkg-query -W -f='${Status}' dotforge 2>/dev/null | grep -q installed; then
    echo "dotforge is installed already; this test would remove it"
    exit 1
fi
export LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

rm -f "$work"/dotforge_*.deb
BUILD_DIR="$work" "$source_dir/dotforge.sh" package >"$tmp/package.log" 2>&1 || {
    tail -50 "$tmp/package.log"
    exit 1
}
deb="$work/dotforge_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || {
    echo "no $deb"
    exit 1
}

echo "lintian:"
lintian --fail-on error "$deb" | tee "$tmp/lintian.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "lintian reports errors"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libc6 libqt6widgets6 libfreetype6 libfontconfig1 fonts-arphic-uming; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
grep -q qt6-translations-l10n <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "Recommends lacks qt6-translations-l10n"

# The paths of the package, and those of them that exist before it is installed.
paths="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^/\?$')"
existing="$(while read -r p; do [ -e "$p" ] && echo "$p"; done <<<"$paths")"

apt-get install -y -q "$deb" >"$tmp/apt.log" 2>&1 || {
    cat "$tmp/apt.log"
    exit 1
}
[ "$(dotforge-cli --version)" = "dotforge-cli (Dotforge) $version" ] || fail "dotforge-cli --version: $(dotforge-cli --version)"
[ "$(man -w dotforge-cli)" = /usr/share/man/man1/dotforge-cli.1.gz ] || fail "man does not find dotforge-cli(1)"
mkdir "$tmp/empty"
(cd "$tmp/empty" && dotforge-cli build --source font16s --font16s /usr/share/dotforge/Font16s --text 中文 -o x.c) ||
    fail "the installed dotforge-cli cannot build from the installed Font16s"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM dotforge 2>"$tmp/window.err"
[ $? = 1 ] && grep -q 'needs a display' "$tmp/window.err" || fail "dotforge does not start: $(cat "$tmp/window.err")"

apt-get remove --purge -y -q dotforge >"$tmp/apt.log" 2>&1 || {
    cat "$tmp/apt.log"
    exit 1
}
dpkg-query -W -f='${Status}\n' dotforge 2>/dev/null | grep -qE ' (installed|config-files)$' &&
    fail "dpkg still holds dotforge: $(dpkg-query -W -f='${Status}' dotforge)"
compgen -G '/var/lib/dpkg/info/dotforge.*' >/dev/null && fail "dpkg still keeps files of dotforge"
left="$(while read -r p; do [ -e "$p" ] && ! grep -qx "$p" <<<"$existing" && echo "$p"; done <<<"$paths")"
[ -z "$left" ] || fail "left behind after apt remove --purge: $left"

[ "$failures" = 0 ] && echo "the package builds, passes lintian, installs, runs and goes away"
[ "$failures" = 0 ]
