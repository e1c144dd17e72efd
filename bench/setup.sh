#!/usr/bin/env bash
# What the benchmarks need, and the fonts of a user's desktop that every figure
# is taken with: an X server's fonts (xfonts-base, 400 bitmap fonts that
# Debian's fontconfig configuration rejects), the Noto CJK faces and the
# WenQuanYi bitmap fonts. Installs what is missing when run as root on Debian
# (apt-get), else names it and fails. bench/run.sh, bench/sets.sh and
# bench/startup.sh run it first, and `bench/setup.sh --describe` for the
# report: the font packages installed, the fonts fontconfig lists, the bitmap
# font files in its folders, and how long fontconfig's own fc-match takes (the
# machine's speed at the time, which drifts on a shared virtual machine).
set -euo pipefail

if [ "${1:-}" = --describe ]; then
    echo "Font packages: $(dpkg-query -W -f='${Status} ${Package} ${Version}\n' 'fonts-*' 'xfonts-*' 2>/dev/null \
        | awk '$3 == "installed" { printf "%s%s %s", (n++ ? ", " : ""), $4, $5 }')"
    echo "fontconfig lists $(fc-list | wc -l) fonts; bitmap font files in its folders: $(find /usr/share/fonts \
        /usr/local/share/fonts -type f \( -name '*.pcf*' -o -name '*.bdf*' -o -name '*.otb' \) 2>/dev/null | wc -l)"
    start=$(date +%s%N)
    for _ in 1 2 3 4 5 6 7 8 9 10; do fc-match sans >/dev/null; done
    echo "fc-match sans: $(($(date +%s%N) - start)) ns for 10 runs" | awk '{ printf "fc-match sans: %.1f ms a run\n", $3 / 1e7 }'
    exit 0
fi

packages=(xvfb xauth dbus time linux-perf libbenchmark-dev fonts-arphic-gbsn00lp
    xfonts-base fonts-noto-cjk xfonts-wqy)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
# lv_font_conv comes from npm, whichever package brought npm.
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    echo "Installing for the benchmarks: ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    exit 0
fi
echo "Missing for the benchmarks: ${missing[*]}" >&2
echo "  apt-get install -y ${missing[*]}" >&2
exit 1
