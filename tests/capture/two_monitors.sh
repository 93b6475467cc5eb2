#!/usr/bin/env bash
# Runs a Windows test executable under Wine on two 1920x1080 monitors side by side with the
# primary on the right, so that the virtual screen starts at x = -1920: Xephyr shows two
# Xinerama screens inside a private Xvfb display, and Wine is told to take its monitors from
# Xinerama and to make the second screen the primary one. Exits 77 (skipped) without Xephyr.
# usage: two_monitors.sh BUILD_DIR TEST_EXE [ARGS...]
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR TEST_EXE [ARGS...]" >&2; exit 2; }
command -v Xephyr > /dev/null || { echo "Xephyr is not installed: two-monitor tests skipped"; exit 77; }
build=$(realpath -m "$1"); shift
state="$build/two-monitors"
mkdir -p "$state/home"
export HOME="$state/home" XDG_RUNTIME_DIR="$state/home"
export WINEPREFIX="$state/wine-prefix" WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export PATH="/usr/lib/wine:$PATH"

pids=()
cleanup() {
    wineserver -k 2> /dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
}
trap cleanup EXIT

# Each server picks a free display number itself and writes it to the given descriptor.
start_server() {
    local out="$1"; shift
    rm -f "$out"
    "$@" -displayfd 3 3> "$out" > "$out.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 1 100); do [ -s "$out" ] && break; sleep 0.1; done
    [ -s "$out" ] || { echo "server did not start: $*" >&2; cat "$out.log" >&2; exit 1; }
}
start_server "$state/host" Xvfb -screen 0 3840x1080x24 -nolisten tcp -dpi 96
export DISPLAY=":$(head -n1 "$state/host")"
start_server "$state/screens" Xephyr -screen 1920x1080 -screen 1920x1080 +xinerama -nolisten tcp -dpi 96
export DISPLAY=":$(head -n1 "$state/screens")"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine64 wineboot --init > "$state/wineboot.log" 2>&1 || true
    wineserver -w
fi
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f > /dev/null 2>&1
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v PrimaryMonitor /t REG_SZ /d 1 /f > /dev/null 2>&1
# Without a window manager, hiding a managed window waits two seconds for one to answer.
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f > /dev/null 2>&1
wineserver -w

wine64 "$@"
