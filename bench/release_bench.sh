#!/usr/bin/env bash
# The time from the release (the overlay's end) to the viewer's first paint and to the complete
# PNG, for a whole-screen "/capture:same" of the realistic screen at 1920x1080 and 3840x2160,
# for this build's glimpser.exe and for another one ("before"), alternating in one run so that
# both see the same load. Each figure is a median of RUNS processes (road_bench same).
# Usage: bench/release_bench.sh BUILD_DIR BEFORE_GLIMPSER_EXE [ROUNDS] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "$1")
before_exe=$(realpath "$2")
rounds=${3:-3} runs=${4:-3}
# road_bench starts the glimpser.exe found above its own folder.
before="$build/release-before"
mkdir -p "$before/bench"
cp "$before_exe" "$before/glimpser.exe"
cp "$build/win/bench/road_bench.exe" "$build/win/bench/message_watch.dll" "$before/bench/"
out=$(mktemp -d)
trap 'kill ${feh:-} 2>/dev/null || true; rm -rf "$out"' EXIT
for size in 1920x1080 3840x2160; do
    w=${size%x*} h=${size#*x}
    export GLIMPSER_SCREEN=${size}x24
    picture="$build/bench-screen-${w}x${h}.png"
    [ -f "$picture" ] || MAGICK_THREAD_LIMIT=1 "$root/bench/screen_picture.sh" "$w" "$h" "$picture"
    DISPLAY=$("$root/scripts/with-wine.sh" "$build" sh -c 'echo $DISPLAY')
    export DISPLAY
    feh --fullscreen --hide-pointer --borderless "$picture" &
    feh=$!
    sleep 3
    echo "### Screen $size, whole-screen region, $rounds rounds of $runs runs each"
    echo
    echo "| round | build | load | release to viewer first paint (ms) | release to PNG complete (ms) |"
    echo "|---|---|---|---|---|"
    for round in $(seq 1 "$rounds"); do
        for which in after before; do
            exe="$build/win/bench/road_bench.exe"
            [ "$which" = before ] && exe="$before/bench/road_bench.exe"
            load=$(cut -d' ' -f1 /proc/loadavg)
            "$root/scripts/with-wine.sh" "$build" "$exe" same 0 0 "$w" "$h" "$runs" \
                "Z:$out/copy.png" 2>&1 | tr -d '\r' > "$out/road" || true
            field() { awk -v k="$1:" '$1 == k { print $2 }' "$out/road"; }
            echo "| $round | $which | $load | $(field release_to_viewer_paint_ms) | $(field release_to_png_ms) |"
        done
    done
    echo
    kill "$feh" 2>/dev/null || true
    wait "$feh" 2>/dev/null || true
done
