#!/usr/bin/env bash
# Stops the wineserver and the Xvfb display that scripts/with-wine.sh started for BUILD_DIR.
set -uo pipefail
build=$(realpath -m "${1:?usage: $0 BUILD_DIR}")
WINEPREFIX="$build/wine-prefix" /usr/lib/wine/wineserver -k 2>/dev/null
state="$build/.xvfb"
if [ -f "$state" ]; then
    read -r _ pid _ < "$state"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -f "$state"
fi
exit 0
