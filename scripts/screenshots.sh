#!/usr/bin/env bash
# Takes the README's screenshots of the real program (docs/overlay.png, docs/viewer.png) under
# Wine on a private 1280x800 Xvfb display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
"$root/scripts/setup.sh"
"$root/scripts/configure.sh" "$build"
cmake --build "$build/win" --target readme_screenshots -j"$(nproc)"
trap '"$root/scripts/stop-wine.sh" "$build"' EXIT
mkdir -p "$root/docs"
GLIMPSER_SCREEN=1280x800x24 "$root/scripts/with-wine.sh" "$build" \
    "$build/win/tools/readme_screenshots.exe" "Z:${root//\//\\}\\docs"
ls -l "$root/docs"
