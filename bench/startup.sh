#!/usr/bin/env bash
# Start-up against the number of installed bitmap fonts: fontconfig's usual
# configuration ("usual"), and the same plus a folder of 0, 400 or 4,000 bitmap
# fonts (copies of the
# machine's X11 PCF fonts under new names, with fontconfig's cache made for the
# folder, as fc-cache does when a font package is installed). Measured, the
# configurations alternating, one warm-up round, medians:
#   - `dotforge-cli build` of one character from a TrueType face;
#   - the same from a bitmap font that fontconfig's configuration rejects
#     ("Fixed" of xfonts-base), which needs the catalog of rejected bitmap fonts
#     (taken from Dotforge's cache after the first run);
#   - the window from its start to its first paint (bench/window_start.cpp,
#     under Xvfb with a session bus), and a bare Qt window of the same size
#     with a menu bar and a line of text (bench/window_floor.cpp), the floor
#     under it.
#
#   bench/startup.sh [RESULTS_DIR]      (default /tmp/dotforge-startup)
#
# BUILD_DIR chooses the build folder (default ./build); RUNS the measured rounds
# (default 11); COUNTS the folder sizes (default "0 400 4000"). bench/setup.sh
# installs what it needs (xfonts-base brings the PCF fonts copied; the window
# runs under Xvfb with a session bus, as on a desktop).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
results="${1:-/tmp/dotforge-startup}"
runs="${RUNS:-11}"
counts="${COUNTS:-0 400 4000}"
face="AR PL SungtiL GB"
cli="$build/cli/dotforge-cli"
window="$build/bench/dotforge_window_start"
floor="$build/bench/dotforge_window_floor"

if [ -z "${DISPLAY:-}" ]; then
    "$here/bench/setup.sh"
    cmake -S "$here" -B "$build" >/dev/null
    cmake --build "$build" -j "$(nproc)" --target dotforge-cli dotforge_window_start dotforge_window_floor >/dev/null
fi
mkdir -p "$results"
results="$(cd "$results" && pwd)"
cd "$results"

# One configuration per count: the usual one, and a folder of that many fonts.
sources=(/usr/share/fonts/X11/misc/*.pcf.gz)
for count in $counts; do
    folder="$results/fonts$count"
    if [ ! -d "$folder" ] || [ "$(find "$folder" -type f | wc -l)" != "$count" ]; then
        rm -rf "$folder" "$results/fc-cache$count"
        mkdir -p "$folder"
        for i in $(seq 1 "$count"); do
            cp "${sources[$(((i - 1) % ${#sources[@]}))]}" "$folder/font$i.pcf.gz"
        done
        touch -d '1 hour ago' "$folder"
    fi
    cat >"conf$count.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="no">/etc/fonts/fonts.conf</include>
  <dir>$folder</dir>
  <cachedir>$results/fc-cache$count</cachedir>
</fontconfig>
EOF
    FONTCONFIG_FILE="$results/conf$count.conf" fc-cache "$folder" >/dev/null 2>&1 || true
done

# median of the numbers on stdin
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# once COMMAND...: one run; prints "wall CPU" in milliseconds.
once() {
    local t0 t1
    if command -v perf >/dev/null; then
        perf stat -e task-clock -o perf.txt -- "$@" >/dev/null 2>&1 || true
        awk '/task-clock/ { cpu = $1 } /seconds time elapsed/ { wall = $1 * 1000 }
             END { printf "%.2f %.2f\n", wall, cpu }' perf.txt
    else
        t0="$(date +%s%N)"
        "$@" >/dev/null 2>&1 || true
        t1="$(date +%s%N)"
        echo "$(((t1 - t0) / 1000)) 0" | awk '{ printf "%.2f 0\n", $1 / 1000 }'
    fi
}

mkdir -p win
ln -sf "$build/run/Font16s" win/Font16s
printf '啊\n' >one.txt
kinds=(ttf rejected window floor)
run() { # KIND COUNT: one run of KIND under the configuration of COUNT
    if [ "$2" = usual ]; then
        unset FONTCONFIG_FILE
    else
        export FONTCONFIG_FILE="$results/conf$2.conf"
    fi
    export XDG_CACHE_HOME="$results/cache$2"
    case $1 in
    ttf) once "$cli" build --size 16 --font "$face" --text-file one.txt -o one.ZMB ;;
    rejected) once "$cli" build --size 16 --font Fixed --text-file one.txt -o fixed.ZMB ;;
    window) (cd win && once "$window") ;;
    floor) (cd win && once "$floor") ;;
    esac
}

measure() {
    echo "== Machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
    "$here/bench/setup.sh" --describe
    for count in usual $counts; do
        for kind in "${kinds[@]}"; do : >"$kind$count.txt"; done
    done
    for r in $(seq 0 "$runs"); do
        for count in usual $counts; do
            for kind in "${kinds[@]}"; do
                t="$(run "$kind" "$count")"
                [ "$r" -eq 0 ] || echo "$t" >>"$kind$count.txt"
            done
        done
    done
    echo "Medians of $runs alternating rounds, milliseconds (wall / CPU):"
    printf '| bitmap fonts added | build, TrueType face | build, rejected bitmap font "Fixed" | window to first paint | a bare Qt window |\n'
    printf '|---:|---:|---:|---:|---:|\n'
    for count in usual $counts; do
        line="| $count"
        for kind in "${kinds[@]}"; do
            line="$line | $(awk '{ print $1 }' "$kind$count.txt" | median) / $(awk '{ print $2 }' "$kind$count.txt" | median)"
        done
        echo "$line |"
    done
}

# The window needs a display; a desktop has a session bus, without which Qt
# would try to start one at every run.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1280x1024x24' dbus-run-session -- bash "$here/bench/startup.sh" "$results"
fi
measure
