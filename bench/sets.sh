#!/usr/bin/env bash
# Whole character sets: `dotforge-cli build` of the 7,445 GB2312 characters at
# 16, 24 and 32 dots (TrueType and "Font16s") against lv_font_conv 1.5.3 on the
# same characters, TrueType file and pixel sizes, with and without
# --no-kerning; then the cost per glyph from 200 to 21,886 glyphs.
#
#   bench/sets.sh [RESULTS_DIR]      (default /tmp/dotforge-sets)
#
# BUILD_DIR chooses the build folder (default ./build); RUNS the repetitions
# (default 3; lv_font_conv with kerning runs once); PARTS "sets", "per-glyph"
# or both (the default). Needs npm, /usr/bin/time and
# fonts-arphic-gbsn00lp; lv_font_conv is installed with npm into RESULTS_DIR.
# Prints median wall time, median CPU time (user + system) and peak memory.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
results="${1:-/tmp/dotforge-sets}"
runs="${RUNS:-3}"
parts="${PARTS:-sets per-glyph}"
ttf=/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf
face="AR PL SungtiL GB"
cli="$build/cli/dotforge-cli"
font16s="$build/run/Font16s"

mkdir -p "$results"
cd "$results"
[ -x node_modules/.bin/lv_font_conv ] || npm install --silent lv_font_conv@1.5.3 >/dev/null
lvfc="$results/node_modules/.bin/lv_font_conv"

# median of the numbers on stdin
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# measure LABEL N COMMAND...: N runs; prints wall s, CPU s, peak MiB
measure() {
    local label="$1" n="$2"
    shift 2
    : >"times.txt"
    for _ in $(seq "$n"); do
        /usr/bin/time -f "%e %U %S %M" -a -o times.txt "$@" >/dev/null 2>&1
    done
    local wall cpu mem
    wall=$(awk '{ print $1 }' times.txt | median)
    cpu=$(awk '{ print $2 + $3 }' times.txt | median)
    mem=$(awk '{ print $4 }' times.txt | median)
    printf '| %s | %.2f s | %.2f s | %d MiB |\n' "$label" "$wall" "$cpu" "$((mem / 1024))"
}

echo "== Machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
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
echo "== Full GB2312 (7,445 characters), C output"
echo "| command | wall | CPU | peak memory |"
echo "|---|---:|---:|---:|"
for size in 16 24 32; do
    px=$((size == 32 ? 29 : size))
    measure "dotforge-cli, TrueType, $size dots" "$runs" \
        "$cli" build --size "$size" --font "$face" --charset gb2312 -o "cli$size.c"
    measure "dotforge-cli, TrueType, $size dots, --jobs 1" "$runs" \
        "$cli" build --size "$size" --font "$face" --charset gb2312 --jobs 1 -o "cli$size.c"
    if [ "$size" = 16 ]; then
        measure "dotforge-cli, Font16s, 16 dots" "$runs" \
            "$cli" build --source font16s --font16s "$font16s" --charset gb2312 -o f16.c
    fi
    measure "lv_font_conv --no-kerning, $px px" "$runs" \
        "$lvfc" --font "$ttf" --symbols "$symbols" --size "$px" --bpp 1 --no-compress --no-kerning \
        --format lvgl -o "lv$size-nk.c"
    measure "lv_font_conv, $px px" 1 \
        "$lvfc" --font "$ttf" --symbols "$symbols" --size "$px" --bpp 1 --no-compress \
        --format lvgl -o "lv$size.c"
done
fi

[[ " $parts " == *" per-glyph "* ]] || exit 0
echo
echo "== Cost per glyph, TrueType at 16 dots, .ZMB output"
# The GBK set in code order, and after it the codes of the standard that
# glibc's GBK leaves unmapped (drawn blank), up to 21,886 codes.
"$cli" build --size 16 --charset gbk --font "$face" -o gbk.ZMB >/dev/null
python3 - <<'PY'
data = open("gbk.ZMB", "rb").read()
n = len(data) // 34
codes = [data[32 * n + 2 * i: 32 * n + 2 * i + 2].hex().upper() for i in range(n)]
extra = 0xFE50
while len(codes) < 21886:
    codes.append("%04X" % extra)
    extra += 1
for count in (1, 200, 1000, 3000, 7445, 15000, 21886):
    open("codes%d.txt" % count, "w").write(",".join(codes[:count]))
PY
echo "| glyphs | wall | CPU | peak memory | CPU per glyph beyond one glyph |"
echo "|---:|---:|---:|---:|---:|"
base=""
for count in 1 200 1000 3000 7445 15000 21886; do
    line=$(measure "$count" "$runs" "$cli" build --size 16 --font "$face" --codes "$(cat codes$count.txt)" -o n.ZMB)
    cpu=$(awk '{ print $2 + $3 }' times.txt | median)
    [ -n "$base" ] || base="$cpu"
    per=$(awk -v c="$cpu" -v b="$base" -v n="$count" 'BEGIN { if (n > 1) printf "%.1f µs", (c - b) / (n - 1) * 1e6; else print "–" }')
    echo "$line $per |"
done
