#!/usr/bin/env bash
# Sets up, builds and runs glimpser.exe under Wine on the current display (arguments are
# passed on, e.g. /tray or /open). Without a display it starts a private Xvfb one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
"$root/scripts/setup.sh"
"$root/scripts/configure.sh" "$build"
cmake --build "$build/win" --target glimpser -j"$(nproc)"
if [ -z "${DISPLAY:-}" ]; then
    echo "No DISPLAY: running on a private Xvfb display"
    exec "$root/scripts/with-wine.sh" "$build" wine64 "$build/win/glimpser.exe" "$@"
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" PATH="/usr/lib/wine:$PATH"
prefix=${WINEPREFIX:-$HOME/.wine}
if [ ! -f "$prefix/.glimpser-setup-2" ]; then
    [ -f "$prefix/system.reg" ] || { wine64 wineboot --init > /dev/null 2>&1 || true; wineserver -w; }
    "$root/scripts/wine-prefix-setup.sh"
    touch "$prefix/.glimpser-setup-2"
fi
exec wine64 "$build/win/glimpser.exe" "$@"
