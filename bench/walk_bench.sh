#!/usr/bin/env bash
# The history walk (bench/walk_bench.cpp) on a 3840x2160 screen, with a native decoder's time
# for one of the same files in the same run: ImageMagick reading the PNG into raw RGB, timed
# before and after the walks, less its own start-up (the same command on a 1x1 PNG). A first
# walk, whose figures are not kept, writes that file and warms Wine's caches.
# With BEFORE=path/to/an/older/glimpser.exe, walks of that program alternate with this build's.
# Usage: bench/walk_bench.sh [BUILD_DIR [RUNS]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
runs=${2:-3}
"$root/scripts/setup-bench.sh" > /dev/null
width=3840 height=2160
export GLIMPSER_SCREEN=${width}x${height}x24
picture="$build/bench-screen-${width}x${height}.png"
[ -f "$picture" ] || MAGICK_THREAD_LIMIT=1 "$root/bench/screen_picture.sh" "$width" "$height" "$picture"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
convert -size 1x1 xc:white "$out/dot.png"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Median milliseconds of five decodes of the file into raw RGB.
decode_ms() {
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s%N)
        convert "$1" -depth 8 rgb:- > /dev/null
        end=$(date +%s%N)
        echo $(( (end - start) / 1000 ))
    done | median | awk '{ printf "%.1f", $1 / 1000 }'
}
native() {
    local file start
    file=$(decode_ms "$out/history.png") start=$(decode_ms "$out/dot.png")
    echo "$(echo "$file - $start" | bc) ms (whole process $file ms, start-up $start ms)"
}
# The walk benchmark finds glimpser.exe above its own folder, so the older program gets a tree
# of its own.
walk() {
    "$root/scripts/with-wine.sh" "$build" "$1/bench/walk_bench.exe" "Z:$picture" \
        "Z:$out/history.png" "$2" 2>&1 | tr -d '\r'
}
trees=("$build/win")
if [ -n "${BEFORE:-}" ]; then
    mkdir -p "$out/before/bench"
    cp "$BEFORE" "$out/before/glimpser.exe"
    cp "$build/win/bench/walk_bench.exe" "$build/win/bench/message_watch.dll" "$out/before/bench/"
    trees=("$out/before" "$build/win" "$out/before" "$build/win")
fi

echo "Screen ${width}x${height}, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)."
walk "$build/win" 1 | grep '^error' || true
echo "native_decode_before (ImageMagick $(convert -version | awk 'NR == 1 { print $3 }')): $(native)"
for tree in "${trees[@]}"; do
    echo
    [ "$tree" = "$build/win" ] && echo "This build, $runs walks:" || echo "BEFORE ($BEFORE), $runs walks:"
    walk "$tree" "$runs"
done
echo
echo "native_decode_after: $(native)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
