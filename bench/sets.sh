#!/usr/bin/env bash
# Whole character sets: `dotforge-cli build` of the 7,445 GB2312 characters at
# 16, 24 and 32 dots (TrueType and "Font16s") against lv_font_conv 1.5.3 on the
# same characters, TrueType file and pixel sizes, with and without
# --no-kerning; then the cost per glyph from 200 to 21,886 glyphs.
#
#   bench/sets.sh [RESULTS_DIR]      (default /tmp/dotforge-sets)
#
# BUILD_DIR chooses the build folder (default ./build); RUNS the measured
# repetitions after one warm-up round (default 5, the commands alternating);
# KERNING the sizes at which lv_font_conv runs once with kerning (default 16,
# "" for none); SIZES the dot sizes of the sets (default "16 24 32"); PARTS
# any of "sets", "lvgl" (the set as an LVGL font against lv_font_conv with and
# without kerning) and "per-glyph" (default: all three). bench/setup.sh installs what it
# needs, with the fonts of a user's desktop; lv_font_conv is installed with
# npm into RESULTS_DIR (LVFC names an installed one instead). Prints median wall
# time, median CPU time (all threads) and peak memory.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
results="${1:-/tmp/dotforge-sets}"
runs="${RUNS:-5}"
parts="${PARTS:-sets lvgl per-glyph}"
ttf=/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf
face="AR PL SungtiL GB"
cli="$build/cli/dotforge-cli"
font16s="$build/run/Font16s"

"$here/bench/setup.sh"
mkdir -p "$results"
cd "$results"
lvfc="${LVFC:-$results/node_modules/.bin/lv_font_conv}"
[ -x "$lvfc" ] || npm install --silent lv_font_conv@1.5.3 >/dev/null

# median of the numbers on stdin
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# once COMMAND...: one run; prints "wall CPU" in seconds. With `perf stat`:
# the time from the program's start to its exit (perf's own start is not
# counted) and the task clock of the program and all its threads; without
# perf, the shell's clock around /usr/bin/time and user + system time in 10 ms
# steps.
once() {
    local t0 t1
    if command -v perf >/dev/null; then
        perf stat -e task-clock -o perf.txt -- "$@" >/dev/null 2>&1
        awk '/task-clock/ { cpu = $1 / 1000 } /seconds time elapsed/ { wall = $1 }
             END { printf "%.4f %.4f\n", wall, cpu }' perf.txt
    else
        t0="$(date +%s%N)"
        /usr/bin/time -f '%U %S' -o time.txt "$@" >/dev/null 2>&1
        t1="$(date +%s%N)"
        awk -v w="$(((t1 - t0) / 1000))" '{ printf "%.4f %.4f\n", w / 1e6, $1 + $2 }' time.txt
    fi
}
# peak COMMAND...: the peak resident memory of one run, in MiB.
peak() {
    /usr/bin/time -f '%M' -o mem.txt "$@" >/dev/null 2>&1
    awk '{ printf "%d", $1 / 1024 }' mem.txt
}
# row LABEL FILE MEM: median wall and CPU of the runs in FILE
row() {
    local wall cpu
    wall=$(awk '{ print $1 }' "$2" | median)
    cpu=$(awk '{ print $2 }' "$2" | median)
    printf '| %s | %.3f s | %.3f s | %s MiB |\n' "$1" "$wall" "$cpu" "$3"
}

echo "== Machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
"$here/bench/setup.sh" --describe
"$cli" --version
"$lvfc" --version 2>/dev/null || true

# The 7,445 GB2312 characters, in code order, as one UTF-8 line.
"$cli" build --source font16s --font16s "$font16s" --charset gb2312 -o gb2312.c >/dev/null
grep -o '/\* [0-9]*: [0-9A-F]* [^ ]*$' gb2312.c | awk '{ printf "%s", $4 }' >gb2312.txt
echo >>gb2312.txt
symbols="$(head -1 gb2312.txt)"
echo "characters: $(printf '%s' "$symbols" | wc -m)"

if [[ " $parts " == *" sets "* ]]; then
echo
echo "== Full GB2312 (7,445 characters), C output: $runs alternating runs each after one warm-up, medians"
echo "| command | wall | CPU | peak memory |"
echo "|---|---:|---:|---:|"
for size in ${SIZES:-16 24 32}; do
    px=$((size == 32 ? 29 : size))
    cmds=(j2 j1 lv)
    [ "$size" = 16 ] && cmds+=(f16)
    for c in "${cmds[@]}"; do : >"$c.txt"; done
    # run NAME: the command NAME stands for, in the array cmd
    run() {
        case $1 in
        j2) cmd=("$cli" build --size "$size" --font "$face" --charset gb2312 -o "cli$size.c") ;;
        j1) cmd=("$cli" build --size "$size" --font "$face" --charset gb2312 --jobs 1 -o "cli$size.c") ;;
        f16) cmd=("$cli" build --source font16s --font16s "$font16s" --charset gb2312 -o f16.c) ;;
        lv) cmd=("$lvfc" --font "$ttf" --symbols "$symbols" --size "$px" --bpp 1 --no-compress --no-kerning \
            --format lvgl -o "lv$size-nk.c") ;;
        esac
    }
    # Alternating runs, the first round discarded as a warm-up.
    for r in $(seq 0 "$runs"); do
        for c in "${cmds[@]}"; do
            run "$c"
            t="$(once "${cmd[@]}")"
            [ "$r" -eq 0 ] || echo "$t" >>"$c.txt"
        done
    done
    row "dotforge-cli, TrueType, $size dots (2 threads)" j2.txt "$(run j2 && peak "${cmd[@]}")"
    row "dotforge-cli, TrueType, $size dots, \`--jobs 1\`" j1.txt "$(run j1 && peak "${cmd[@]}")"
    [ "$size" = 16 ] && row "dotforge-cli, \"Font16s\", 16 dots" f16.txt "$(run f16 && peak "${cmd[@]}")"
    row "lv_font_conv \`--no-kerning\`, $px px" lv.txt "$(run lv && peak "${cmd[@]}")"
    awk -v s="$size" -v cw="$(awk '{ print $1 }' j2.txt | median)" -v cc="$(awk '{ print $2 }' j2.txt | median)" \
        -v c1="$(awk '{ print $2 }' j1.txt | median)" -v lw="$(awk '{ print $1 }' lv.txt | median)" \
        -v lc="$(awk '{ print $2 }' lv.txt | median)" 'BEGIN {
        printf "ratio at %s dots, lv_font_conv --no-kerning / dotforge-cli: wall %.1f (2 threads), CPU %.1f (2 threads), CPU %.1f (--jobs 1)\n",
            s, lw / cw, lc / cc, lc / c1 }'
done
# lv_font_conv with its kerning table (about 90 s of CPU) once, at the sizes in
# KERNING (default 16; "" skips it).
for size in ${KERNING-16}; do
    px=$((size == 32 ? 29 : size))
    /usr/bin/time -f "%e %U %S %M" -o kern.txt "$lvfc" --font "$ttf" --symbols "$symbols" --size "$px" --bpp 1 \
        --no-compress --format lvgl -o "lv$size.c" >/dev/null 2>&1
    awk -v p="$px" '{ printf "| lv_font_conv (kerning), %s px, 1 run | %.1f s | %.1f s | %d MiB |\n", p, $1, $2 + $3, $4 / 1024 }' kern.txt
done
fi

if [[ " $parts " == *" lvgl "* ]]; then
echo
echo "== Full GB2312 (7,445 characters) as an LVGL font at 16 px, 1 bpp: $runs alternating runs each after one warm-up, medians"
echo "| command | wall | CPU | peak memory | output |"
echo "|---|---:|---:|---:|---:|"
for c in lvgl nk; do : >"$c.txt"; done
lvrun() {
    case $1 in
    lvgl) cmd=("$cli" build --size 16 --font "$face" --charset gb2312 --format lvgl -o dflvgl.c) ;;
    nk) cmd=("$lvfc" --font "$ttf" --symbols "$symbols" --size 16 --bpp 1 --no-compress --no-kerning \
        --format lvgl -o lvnk.c) ;;
    esac
}
for r in $(seq 0 "$runs"); do
    for c in lvgl nk; do
        lvrun "$c"
        t="$(once "${cmd[@]}")"
        [ "$r" -eq 0 ] || echo "$t" >>"$c.txt"
    done
done
lvrow() {
    local wall cpu
    wall=$(awk '{ print $1 }' "$2" | median)
    cpu=$(awk '{ print $2 }' "$2" | median)
    printf '| %s | %.3f s | %.3f s | %s MiB | %s bytes |\n' "$1" "$wall" "$cpu" "$3" "$(stat -c %s "$4")"
}
lvrow "dotforge-cli \`--format lvgl\`, 16 dots (2 threads)" lvgl.txt "$(lvrun lvgl && peak "${cmd[@]}")" dflvgl.c
lvrow "lv_font_conv \`--no-kerning\`, 16 px" nk.txt "$(lvrun nk && peak "${cmd[@]}")" lvnk.c
awk -v dw="$(awk '{ print $1 }' lvgl.txt | median)" -v dc="$(awk '{ print $2 }' lvgl.txt | median)" \
    -v lw="$(awk '{ print $1 }' nk.txt | median)" -v lc="$(awk '{ print $2 }' nk.txt | median)" 'BEGIN {
    printf "ratio lv_font_conv --no-kerning / dotforge-cli --format lvgl: wall %.1f, CPU %.1f\n", lw / dw, lc / dc }'
if [ -n "${KERNING-16}" ]; then
    /usr/bin/time -f "%e %U %S %M" -o kern.txt "$lvfc" --font "$ttf" --symbols "$symbols" --size 16 --bpp 1 \
        --no-compress --format lvgl -o lvk.c >/dev/null 2>&1
    awk -v b="$(stat -c %s lvk.c)" -v dw="$(awk '{ print $1 }' lvgl.txt | median)" '{
        printf "| lv_font_conv (kerning), 16 px, 1 run | %.1f s | %.1f s | %d MiB | %s bytes |\n", $1, $2 + $3, $4 / 1024, b
        printf "ratio lv_font_conv (kerning) / dotforge-cli --format lvgl: wall %.0f\n", $1 / dw }' kern.txt
fi
fi

[[ " $parts " == *" per-glyph "* ]] || exit 0
echo
echo "== Cost per glyph, TrueType at 16 dots, .ZMB output"
# The GBK set in code order, and after it the codes from FE50 on that glibc's
# GBK leaves unmapped (drawn blank), up to 21,886 codes, in a fixed shuffled
# order (seed 1) of which each count takes the first ones. The GBK characters
# outside GB2312 are missing from "AR PL SungtiL GB": they come from the first
# face of fontconfig's fallback list that has them; the GB2312 characters are
# hinted and rasterised from the outlines of "AR PL SungtiL GB".
"$cli" build --size 16 --charset gbk --font "$face" -o gbk.ZMB >/dev/null
python3 - <<'PY'
import random
data = open("gbk.ZMB", "rb").read()
n = len(data) // 34
codes = [data[32 * n + 2 * i: 32 * n + 2 * i + 2].hex().upper() for i in range(n)]
extra = 0xFE50
while len(codes) < 21886:
    if extra & 0xFF != 0x7F:  # a trail byte 7F is no code
        codes.append("%04X" % extra)
    extra += 1
# A fixed shuffle, so that every count holds the same mix of glyph kinds.
random.Random(1).shuffle(codes)
for count in (1, 200, 1000, 3000, 7445, 15000, 21886):
    open("codes%d.txt" % count, "w").write(",".join(codes[:count]))
PY
echo "| glyphs | wall | CPU | peak memory | CPU per glyph beyond one glyph |"
echo "|---:|---:|---:|---:|---:|"
base=""
for count in 1 200 1000 3000 7445 15000 21886; do
    : >n.txt
    for r in $(seq 0 "$runs"); do
        t="$(once "$cli" build --size 16 --font "$face" --codes "$(cat codes$count.txt)" -o n.ZMB)"
        [ "$r" -eq 0 ] || echo "$t" >>n.txt
    done
    wall=$(awk '{ print $1 }' n.txt | median)
    cpu=$(awk '{ print $2 }' n.txt | median)
    mem=$(peak "$cli" build --size 16 --font "$face" --codes "$(cat codes$count.txt)" -o n.ZMB)
    [ -n "$base" ] || base="$cpu"
    awk -v n="$count" -v w="$wall" -v c="$cpu" -v m="$mem" -v b="$base" 'BEGIN {
        printf "| %s | %.3f s | %.3f s | %s MiB | %s |\n", n, w, c, m, (n > 1 ? sprintf("%.1f µs", (c - b) / (n - 1) * 1e6) : "–") }'
done
