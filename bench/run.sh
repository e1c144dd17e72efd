#!/usr/bin/env bash
# Runs Dotforge's benchmarks and prints the figures that BENCHMARKS.md reports:
#   1. the Google Benchmark program (render, code-table repaint, add, save, open);
#   2. `dotforge-cli build` of 200 CJK characters at 16, 24 and 32 dots against
#      lv_font_conv (npm) on the same TrueType file and pixel size: alternating
#      runs, medians of wall time and CPU time;
#   3. peak memory (/usr/bin/time -v) of the window and of a 200-glyph build.
#
#   bench/run.sh [RESULTS_DIR]      (default /tmp/dotforge-bench)
#
# BUILD_DIR chooses the build folder (default ./build); PARTS the parts to run
# ("bench cli memory", the default, or any of them); RUNS the alternating runs of
# part 2 (default 21). bench/setup.sh installs what it needs, with the fonts of
# a user's desktop; lv_font_conv is installed with npm into RESULTS_DIR, never
# into the source tree.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
results="${1:-/tmp/dotforge-bench}"
ttf=/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf
face="AR PL SungtiL GB"
lvfc_version=1.5.3

"$here/bench/setup.sh"

mkdir -p "$results"
cmake -S "$here" -B "$build" >/dev/null
parts=" ${PARTS:-bench cli memory} "
targets=(dotforge-cli)
[[ "$parts" == *" bench "* ]] && targets+=(dotforge_bench)
[[ "$parts" == *" memory "* ]] && targets+=(dotforge)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
cli="$build/cli/dotforge-cli"

echo "== Machine"
nproc
grep -m1 'model name' /proc/cpuinfo || true
uptime
"$here/bench/setup.sh" --describe

if [[ "$parts" == *" bench "* ]]; then
echo "== Google Benchmark (CPU time is the figure to read on a busy machine)"
"$build/bench/dotforge_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/dotforge_bench.json" --benchmark_out_format=json 2>/dev/null
fi

echo "== dotforge-cli build against lv_font_conv"
lvfc="${LVFC:-$results/lv_font_conv/node_modules/.bin/lv_font_conv}"
if [ ! -x "$lvfc" ]; then
    npm install --silent --no-audit --no-fund --prefix "$results/lv_font_conv" "lv_font_conv@$lvfc_version"
fi
# The first 200 characters of GB2312 level 1 (啊 B0A1 onwards), one UTF-8 line.
chars="$results/chars200.txt"
for i in $(seq 0 199); do printf "\\x$(printf %02x $((0xB0 + i / 94)))\\x$(printf %02x $((0xA1 + i % 94)))"; done \
    | iconv -f GBK -t UTF-8 >"$chars"
echo >>"$chars"
symbols="$(head -n1 "$chars")"
echo "TrueType file: $ttf (fontconfig: $(fc-match -f '%{file}' "$face"))"
# One run: wall seconds and CPU seconds. With `perf stat`: the time from the
# program's start to its exit and its task clock (perf's own start is not
# counted); without perf, the shell's clock around /usr/bin/time and user +
# system time in 10 ms steps.
measure() {
    local t0 t1
    if command -v perf >/dev/null; then
        perf stat -e task-clock -o "$results/perf.txt" -- "$@" >/dev/null 2>&1
        awk '/task-clock/ {cpu = $1 / 1000} /seconds time elapsed/ {wall = $1}
             END {printf "%.4f %.4f\n", wall, cpu}' "$results/perf.txt"
    else
        t0="$(date +%s%N)"
        /usr/bin/time -f '%U %S' -o "$results/time.txt" "$@" >/dev/null 2>&1
        t1="$(date +%s%N)"
        awk -v w="$(((t1 - t0) / 1000))" '{printf "%.4f %.4f\n", w / 1e6, $1 + $2}' "$results/time.txt"
    fi
}
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
runs="${RUNS:-21}"
if [[ "$parts" == *" cli "* ]]; then
printf '| dots (pixels) | dotforge-cli wall | CPU | lv_font_conv wall | CPU | ratio wall | ratio CPU |\n'
printf '|---|---:|---:|---:|---:|---:|---:|\n'
for size in 16 24 32; do
    # The window draws at points x 96 / 72 pixels: 12, 18, 22 points give 16, 24, 29.
    case $size in 16) px=16 ;; 24) px=24 ;; 32) px=29 ;; esac
    : >"$results/cli$size.txt"
    : >"$results/lv$size.txt"
    # Alternating runs, the first of each discarded as a warm-up.
    for run in $(seq 0 "$runs"); do
        a="$(measure "$cli" build --size "$size" --font "$face" --text-file "$chars" -o "$results/cli$size.c")"
        b="$(measure "$lvfc" --font "$ttf" --symbols "$symbols" --size "$px" --bpp 1 --no-compress --format lvgl \
            -o "$results/lv$size.c")"
        [ "$run" -eq 0 ] && continue
        echo "$a" >>"$results/cli$size.txt"
        echo "$b" >>"$results/lv$size.txt"
    done
    col() { awk -v c="$1" '{print $c}' "$2" | median; }
    cw="$(col 1 "$results/cli$size.txt")"
    cc="$(col 2 "$results/cli$size.txt")"
    lw="$(col 1 "$results/lv$size.txt")"
    lc="$(col 2 "$results/lv$size.txt")"
    awk -v s="$size" -v p="$px" -v cw="$cw" -v cc="$cc" -v lw="$lw" -v lc="$lc" 'BEGIN {
        printf "| %s (%s) | %.1f ms | %.1f ms | %.0f ms | %.0f ms | %.1f | %.1f |\n",
            s, p, cw * 1000, cc * 1000, lw * 1000, lc * 1000, lw / cw, (cc > 0 ? lc / cc : 0) }'
done
echo "(medians of $runs alternating runs each)"
fi

[[ "$parts" == *" memory "* ]] || exit 0
echo "== Peak memory"
rss() { grep 'Maximum resident set size' | awk '{print $6 " KiB"}'; }
for size in 16 24 32; do
    printf 'dotforge-cli build, 200 glyphs, %s dots: ' "$size"
    /usr/bin/time -v "$cli" build --size "$size" --font "$face" --text-file "$chars" -o "$results/mem$size.ZMB" 2>&1 \
        >/dev/null | rss
done
# The window in a folder of its own (its store file "JQT.TMP" lives there): shown
# for 3 seconds, then ended by timeout (whose status 124 is expected).
win="$(mktemp -d)"
ln -s "$build/run/Font16s" "$win/Font16s"
printf 'dotforge, offscreen: '
(cd "$win" && QT_QPA_PLATFORM=offscreen /usr/bin/time -v timeout 3 "$build/app/dotforge" 2>&1 >/dev/null | rss) || true
printf 'dotforge, Xvfb: '
(cd "$win" && xvfb-run -a /usr/bin/time -v timeout 3 "$build/app/dotforge" 2>&1 >/dev/null | rss) || true
rm -rf "$win"
