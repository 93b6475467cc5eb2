#!/usr/bin/env bash
# Sets up, builds and runs glimpser.exe under Wine on the current display (arguments are
# passed on, e.g. /tray or /open). Without a display it starts a private Xvfb one.
set -euo pipefail
source "$(dirname "$0")/prepare-build.sh"
cmake --build "$build/win" --target glimpser -j"$(nproc)"
if [ -z "${DISPLAY:-}" ]; then
    echo "No DISPLAY: running on a private Xvfb display"
    exec "$root/scripts/with-wine.sh" "$build" wine64 "$build/win/glimpser.exe" "$@"
fi
# The user's own prefix: the program needs nothing set in it, and nothing global is changed
# (a setting under "HKCU\Software\Wine\X11 Driver" would change every Wine program they run).
# Debian keeps wine64 in /usr/lib/wine; a wine on the user's PATH comes first.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" PATH="$PATH:/usr/lib/wine"
# Earlier versions of this script set Managed=N for every Wine program of the prefix and left
# this stamp behind: take that back once.
prefix=${WINEPREFIX:-$HOME/.wine}
if [ -f "$prefix/.glimpser-setup-2" ]; then
    wine64 reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f > /dev/null 2>&1 || true
    rm -f "$prefix/.glimpser-setup-2"
fi
# Without a window manager, Wine's managed windows wait about two seconds for one at every
# hide. Only there, and only for this program, ask for unmanaged windows; a desktop with a
# window manager gets its usual frames.
if command -v xprop > /dev/null && ! xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null |
        grep -q 'window id'; then
    wine64 reg add 'HKCU\Software\Wine\AppDefaults\glimpser.exe\X11 Driver' /v Managed /d N /f \
        > /dev/null 2>&1 || true
fi
exec wine64 "$build/win/glimpser.exe" "$@"
