#!/usr/bin/env bash
# Sets up, builds and runs every test: the portable code natively under AddressSanitizer,
# UndefinedBehaviorSanitizer and libFuzzer, then everything under Wine on a private Xvfb display.
set -euo pipefail
source "$(dirname "$0")/prepare-build.sh"
"$root/scripts/check-layers.sh"
cmake --build "$build/native" -j"$(nproc)"
cmake --build "$build/win" -j"$(nproc)"

trap '"$root/scripts/stop-wine.sh" "$build"' EXIT
status=0
# The native tests and fuzzers keep the processor busy while the Wine tests mostly wait for
# windows and input, so the two runs go side by side; the native report follows the Wine one.
ctest --test-dir "$build/native" --output-on-failure -j"$(nproc)" > "$build/native-tests.log" 2>&1 &
native=$!
"$root/scripts/with-wine.sh" "$build" ctest --test-dir "$build/win" --output-on-failure || status=1
wait $native || status=1
cat "$build/native-tests.log"
exit $status
