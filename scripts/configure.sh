#!/usr/bin/env bash
# Configures BUILD_DIR/native (clang, sanitizers, fuzzers: the portable code) and
# BUILD_DIR/win (mingw-w64: everything). Reconfiguring an existing tree is cheap.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
type=${GLIMPSER_BUILD_TYPE:-RelWithDebInfo}
cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > "$build.native-configure.log" 2>&1 \
    || { cat "$build.native-configure.log"; exit 1; }
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" > "$build.win-configure.log" 2>&1 \
    || { cat "$build.win-configure.log"; exit 1; }
rm -f "$build.native-configure.log" "$build.win-configure.log"
