#!/usr/bin/env bash
# Installs what building and testing need, once: a second run installs nothing.
set -euo pipefail
# fonts-wine is a recommendation of wine64 that --no-install-recommends drops: it holds Wine's
# Tahoma and the Marlett symbol font, without which the caption buttons are drawn as the
# letters of their glyph codes ('0 1 r'). (Wine 8 draws menu check marks and submenu arrows
# from bitmaps, so those come out right either way.)
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 fonts-wine xvfb xserver-xephyr
          x11-utils x11-xserver-utils googletest clang libclang-rt-14-dev zlib1g-dev
          libz-mingw-w64-dev=1.2.13+dfsg-1)
exec "$(dirname "$0")/install-packages.sh" "${packages[@]}"
