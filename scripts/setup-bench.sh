#!/usr/bin/env bash
# Installs what the benchmarks alone need, once: the two peer capture tools, ImageMagick to draw
# the screen content, feh to show it, GNU time for the peers' peak memory, and a font for the
# text (bc does the arithmetic). The build and the tests never need these.
set -euo pipefail
packages=(maim scrot imagemagick feh time bc fonts-dejavu-core)
exec "$(dirname "$0")/install-packages.sh" "${packages[@]}"
