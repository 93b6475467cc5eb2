#!/usr/bin/env bash
# Glimpser beside maim and scrot on one realistic 3840x2160 screen, in one run: a photo-like
# left half, a dark code editor full of text on the right, a title and a status bar, drawn
# deterministically by bench/screen_picture.sh and shown full screen by feh on the build's
# private Xvfb. Each tool takes the same two regions five times; the medians of the whole
# process time, the PNG size and the peak memory are printed as a table, then Glimpser's
# phases and the in-process overlay figures. Usage: bench/peer_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
"$root/scripts/setup-bench.sh" > /dev/null
width=3840 height=2160 runs=5
export GLIMPSER_SCREEN=${width}x${height}x24
picture="$build/bench-screen-${width}x${height}.png"
[ -f "$picture" ] || MAGICK_THREAD_LIMIT=1 "$root/bench/screen_picture.sh" "$width" "$height" "$picture"
DISPLAY=$("$root/scripts/with-wine.sh" "$build" sh -c 'echo $DISPLAY')
export DISPLAY
out=$(mktemp -d)
feh --fullscreen --hide-pointer --borderless "$picture" &
feh=$!
trap 'kill $feh 2>/dev/null || true; rm -rf "$out"' EXIT
sleep 3

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs one peer RUNS times: median wall seconds and median max RSS (MiB) of the whole process.
peer() {
    local name=$1; shift
    : > "$out/$name.times"; : > "$out/$name.rss"
    for _ in $(seq 1 $runs); do
        local start end
        start=$(date +%s%N)
        /usr/bin/time -f %M -o "$out/rss" "$@" > /dev/null 2>&1
        end=$(date +%s%N)
        echo "scale=3; ($end - $start) / 1000000000" | bc >> "$out/$name.times"
        echo "scale=1; $(cat "$out/rss") / 1024" | bc >> "$out/$name.rss"
    done
    printf '%s %s' "$(median < "$out/$name.times")" "$(median < "$out/$name.rss")"
}

size_mb() { echo "scale=2; $(stat -c %s "$1") / 1000000" | bc; }

echo "Screen ${width}x${height}, ${runs} runs per figure (medians), $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)."
for region in "1920 1080 960 540" "$width $height 0 0"; do
    read -r w h x y <<< "$region"
    echo
    echo "### Region ${w}x${h} at $x,$y"
    echo
    read -r scrot_s scrot_m <<< "$(peer scrot scrot -o -a "$x,$y,$w,$h" "$out/scrot.png")"
    read -r maim_s maim_m <<< "$(peer maim maim -u -g "${w}x${h}+$x+$y" "$out/maim.png")"
    "$root/scripts/with-wine.sh" "$build" "$build/win/bench/road_bench.exe" same \
        "$x" "$y" $((x + w)) $((y + h)) "$runs" "Z:$out/glimpser.png" 2>&1 | tr -d '\r' > "$out/road"
    field() { awk -v k="$1:" '$1 == k { print $2 }' "$out/road"; }
    g_ms=$(field start_to_png_less_400_ms)
    g_ws=$(field peak_working_set_mib)
    g_pf=$(field peak_pagefile_mib)
    same=$(compare -metric AE "$out/maim.png" "$out/glimpser.png" null: 2>&1 || true)
    echo "| tool | time (s) | PNG (MB) | PNG / maim | peak memory (MiB) |"
    echo "|---|---|---|---|---|"
    echo "| scrot -a (whole process) | $scrot_s | $(size_mb "$out/scrot.png") | $(echo "scale=2; $(stat -c %s "$out/scrot.png") / $(stat -c %s "$out/maim.png")" | bc) | $scrot_m (max RSS) |"
    echo "| maim -g (whole process) | $maim_s | $(size_mb "$out/maim.png") | 1.00 | $maim_m (max RSS) |"
    if [ -f "$out/glimpser.png" ]; then
        echo "| glimpser /capture:same (start to PNG complete, less 400 ms) | $(echo "scale=3; $g_ms / 1000" | bc) | $(size_mb "$out/glimpser.png") | $(echo "scale=2; $(stat -c %s "$out/glimpser.png") / $(stat -c %s "$out/maim.png")" | bc) | $g_ws (peak working set), $g_pf (peak pagefile) |"
        echo
        echo "Pixels differing from maim's: $same. Glimpser time / scrot time: $(echo "scale=2; $g_ms / 1000 / $scrot_s" | bc)."
    fi
    echo
    echo '```'
    cat "$out/road"
    echo '```'
    rm -f "$out/glimpser.png"
done
echo
echo "### In-process overlay figures on the same screen (capture_bench)"
echo
echo '```'
"$root/scripts/with-wine.sh" "$build" "$build/win/bench/capture_bench.exe" 2>&1 | tr -d '\r'
echo '```'
