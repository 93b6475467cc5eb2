#!/usr/bin/env bash
# Builds deflate_bench natively for speed (-O3, no sanitizers) in BUILD_DIR/bench-native and runs
# it on the realistic 1920x1080 and 3840x2160 screens of bench/screen_picture.sh.
# Usage: bench/deflate_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
tree="$build/bench-native"
cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLIMPSER_SANITIZERS=OFF \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > /dev/null
cmake --build "$tree" --target deflate_bench > "$tree.log" || { cat "$tree.log"; exit 1; }
pictures=()
for size in 1920x1080 3840x2160; do
    picture="$build/bench-screen-$size.ppm"
    [ -f "$picture" ] || MAGICK_THREAD_LIMIT=1 "$root/bench/screen_picture.sh" "${size%x*}" "${size#*x}" "$picture"
    pictures+=("$picture")
done
"$tree/bench/deflate_bench" "${pictures[@]}"
