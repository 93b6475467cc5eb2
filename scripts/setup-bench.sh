#!/usr/bin/env bash
# Installs what the benchmarks alone need, once: the two peer capture tools, ImageMagick to draw
# the screen content, feh to show it, GNU time for the peers' peak memory, and a font for the
# text (bc does the arithmetic), and Pillow, the native PNG decoder the viewer's reader is timed
# against. The build and the tests never need these.
set -euo pipefail
packages=(maim scrot imagemagick feh time bc fonts-dejavu-core python3-pil)
exec "$(dirname "$0")/install-packages.sh" "${packages[@]}"
