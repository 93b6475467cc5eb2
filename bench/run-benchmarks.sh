#!/usr/bin/env bash
# Builds and runs every benchmark under Wine on a 1920x1080 and a 3840x2160 Xvfb screen and
# records the figures in bench/RESULTS.md, then Glimpser beside maim and scrot on a realistic
# 3840x2160 screen (bench/peer_bench.sh, whose tools scripts/setup-bench.sh installs), the
# viewer's PNG reader beside GDI+ and Pillow (bench/decode_bench.sh), the history walk beside
# ImageMagick's decode of the same file (bench/walk_bench.sh), and the PNG encoder's deflate
# beside zlib's (bench/deflate_bench.sh, native).
set -euo pipefail
source "$(dirname "$0")/../scripts/prepare-build.sh"
"$root/scripts/setup-bench.sh"
benches=(road_bench capture_bench feedback_bench history_bench save_bench viewer_bench tessel_bench)
cmake --build "$build/win" --target glimpser walk_bench decode_bench "${benches[@]}" -j"$(nproc)" 2>/dev/null \
    || cmake --build "$build/win" -j"$(nproc)"
trap '"$root/scripts/stop-wine.sh" "$build"' EXIT

results="$root/bench/RESULTS.md"
{
    echo "# Benchmark results"
    echo
    echo "Recorded $(date -u '+%Y-%m-%d %H:%M UTC') by bench/run-benchmarks.sh on $(nproc) cores,"
    echo "under Wine $(/usr/lib/wine/wine64 --version 2>/dev/null) on Xvfb. Figures are single runs."
    for screen in 1920x1080x24 3840x2160x24; do
        echo
        echo "## Screen ${screen%x24}"
        for bench in "${benches[@]}"; do
            exe="$build/win/bench/$bench.exe"
            [ -f "$exe" ] || continue
            echo
            echo "### $bench"
            echo
            echo '```'
            GLIMPSER_SCREEN=$screen "$root/scripts/with-wine.sh" "$build" "$exe" 2>&1 | tr -d '\r' \
                || echo "($bench failed)"
            echo '```'
        done
    done
} > "$results.tmp"
{
    echo
    cat "$root/bench/road_before_after.md"
    echo
    cat "$root/bench/walk_before_after.md"
    echo
    echo "## Against maim and scrot, this run (bench/peer_bench.sh)"
    echo
    "$root/bench/peer_bench.sh" "$build" 2>&1 || echo "(peer_bench failed)"
    echo
    cat "$root/bench/decode_before_after.md"
    echo
    echo "### This run (bench/decode_bench.sh)"
    echo
    echo '```'
    "$root/bench/decode_bench.sh" "$build" 2>&1 || echo "(decode_bench failed)"
    echo '```'
    echo
    echo "## The history walk, this run (bench/walk_bench.sh)"
    echo
    echo '```'
    "$root/bench/walk_bench.sh" "$build" 2>&1 || echo "(walk_bench failed)"
    echo '```'
    echo
    echo "## The PNG encoder's deflate beside zlib's, natively (bench/deflate_bench.sh)"
    echo
    echo '```'
    "$root/bench/deflate_bench.sh" "$build" 2>&1 || echo "(deflate_bench failed)"
    echo '```'
} >> "$results.tmp"
mv "$results.tmp" "$results"
cat "$results"
