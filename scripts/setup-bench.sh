#!/usr/bin/env bash
# Installs what the benchmarks alone need, once: the two peer capture tools, ImageMagick to draw
# the screen content, feh to show it, GNU time for the peers' peak memory, and a font for the
# text (bc does the arithmetic). The build and the tests never need these.
set -euo pipefail
packages=(maim scrot imagemagick feh time bc fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
