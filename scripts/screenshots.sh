#!/usr/bin/env bash
# Takes the README's pictures of the real program under Wine on a private 1280x800 Xvfb display:
# docs/overlay.png, viewer.png, context-menu.png, tray-menu.png and zoom-1200.png. The tool
# refuses to write them when a caption button shows a letter instead of Wine's symbol glyph
# (fonts-wine missing). A rerun on an unchanged tree gives the same files, byte for byte.
set -euo pipefail
source "$(dirname "$0")/prepare-build.sh"
cmake --build "$build/win" --target readme_screenshots -j"$(nproc)"
trap '"$root/scripts/stop-wine.sh" "$build"' EXIT
# Taken into a scratch folder first, so that a failed run leaves docs/ as it was.
shots="$build/screenshots"
rm -rf "$shots"
mkdir -p "$shots" "$root/docs"
GLIMPSER_SCREEN=1280x800x24 "$root/scripts/with-wine.sh" "$build" \
    "$build/win/tools/readme_screenshots.exe" "Z:${shots//\//\\}"
cp "$shots"/*.png "$root/docs/"
ls -l "$root/docs"
