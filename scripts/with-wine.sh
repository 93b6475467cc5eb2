#!/usr/bin/env bash
# Runs a command with the private Wine environment of BUILD_DIR: its own prefix and HOME
# under the build dir, its own Xvfb display and a persistent wineserver, all started on
# first use and kept for the next command (scripts/stop-wine.sh ends them).
# A Windows program (*.exe) is started through wine64.
# GLIMPSER_SCREEN (default 1920x1080x24) chooses the display size; a different size restarts Xvfb.
# Wine's GDI as the viewer tests see it: StretchBlt enlarges by taking the source pixel under
# each destination pixel's centre (the upper or left one on a tie) and, in the default
# BLACKONWHITE mode, ANDs the pixels it drops when shrinking; GDI+'s default (bilinear)
# DrawImage samples from each pixel's top-left corner and fades the last row and column to
# transparent unless the image attributes' wrap mode is TileFlipXY.
# Wine's GDI+ decodes an 8-bit RGB PNG as 24bppRGB and RGBA as 32bppARGB (not premultiplied);
# a PNG whose data is cut short gives no image.
# A new DIB section is fresh memory: the first write to each page is a page fault, and on this
# machine (natively too) the faults of a 3840x2160 section cost about as much processor
# time as inflating and unfiltering the PNG that fills it (bench/decode_bench.sh).
# So is a window's surface, made when the window is shown (shared memory, for the X server):
# the first paint of a maximized 3840x2160 window pays about 80 ms of faults, a second 3 ms.
# The first drawing into a window just shown, even a scroll bar's redraw, waits for the X server
# to take the window's whole first frame: 90 ms at 3840x2160, 10 ms at 1920x1080.
# Thread priorities change nothing under this Wine: the wineserver leaves scheduling to Linux.
# A paint that UpdateWindow asks for is sent to the window, so a WH_GETMESSAGE hook never sees
# it; WH_CALLWNDPROCRET does.
set -euo pipefail
# A failing set-up step ends the script; say which, since its own output often goes to a log.
trap 'echo "$0: line $LINENO failed: $BASH_COMMAND" >&2' ERR
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR COMMAND [ARGS...]" >&2; exit 2; }
build=$(realpath -m "$1"); shift
screen=${GLIMPSER_SCREEN:-1920x1080x24}
mkdir -p "$build/wine-home"
export HOME="$build/wine-home"
export WINEPREFIX="$build/wine-prefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export PATH="/usr/lib/wine:$PATH"
export XDG_RUNTIME_DIR="$build/wine-home"
# Wine's Recycle Bin is the XDG Trash, $XDG_DATA_HOME/Trash or else $HOME/.local/share/Trash, with
# its files and info folders: a file sent there keeps its name (a name taken already gets
# "-" and 8 hex digits) and its .trashinfo records where it came from; without those folders a
# delete that allows undo deletes for good. Wine's delete stops at the first name in its list
# that is not there, and sends read-only files to the Trash too. Wine names the home folder as
# WINEHOMEDIR ("\??\Z:\..."), which is how tests find the Trash.
unset XDG_DATA_HOME
mkdir -p "$HOME/.local/share/Trash/files" "$HOME/.local/share/Trash/info"

state="$build/.xvfb"
display="" pid="" size=""
[ -f "$state" ] && read -r display pid size < "$state" || true
if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && [ "$size" = "$screen" ]; then
    :
else
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"; sleep 0.5
        WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    fi
    for n in $(seq 90 250); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=$n; break; }
    done
    # -noreset: the screen keeps its windows (a benchmark's full-screen picture) when the last
    # client of a moment disconnects.
    # Wine facts that timings and tests here depend on: a window mapped under the pointer gets
    # its first WM_MOUSEMOVE only when the X server reports the pointer entering it, with the
    # position of that moment (input sent just before can be moved back there); a program is
    # 55-70 ms from its start to its first window even when it does nothing else (a time-zone
    # lookup during start-up alone takes 20 ms; Glimpser's own DLLs load in 9 ms of it), and
    # that first window takes 15-40 ms to make; a BitBlt from the screen is an XGetImage into an
    # X image, then a converted copy, then the bitmap (3840x2160 in one piece: 60-130 ms and two
    # images of memory more; in bands of a few hundred KiB into a bitmap already touched: 17 ms);
    # a thread costs about 1 MiB of working set that stays after it ends; the first blit into a
    # new window pays for touching its whole surface; a process's first window enters COM
    # (Wine's input method: 4-5 MiB of working set), so COM calls work there even without
    # CoInitialize, which costs 20-50 ms of its own; the Save As dialog is titled "Save"; keys
    # sent with SendInput reach a hotkey's window whichever window has the focus, and a key
    # that any window or thread holds (the same window under another id too) cannot be
    # registered again; with no tray on the X display the notification icons sit in Wine's own
    # "Wine System Tray" window, and a balloon (NIF_INFO) comes about 2 s after it is asked for
    # as a visible TTS_BALLOON tooltip of explorer.exe, which answers its text (TTM_ENUMTOOLSW)
    # only into memory of that process;
    # the id of a process that has ended is not handed out again at once, so OpenProcess on it
    # fails.
    Xvfb ":$display" -screen 0 "$screen" -nolisten tcp -dpi 96 -noreset > "$build/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
    echo "$display $pid $screen" > "$state"
fi
export DISPLAY=":$display"

stamp="$WINEPREFIX/.glimpser-setup-3"
# Earlier setups added registry entries that this one does not (the image content types); a prefix
# made by one starts afresh, so that no test passes only because of them.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$stamp" ]; then
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
    rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine64 wineboot --init > "$build/wineboot.log" 2>&1 || true
    wineserver -w
fi
if [ ! -f "$stamp" ]; then
    "$(dirname "$0")/wine-prefix-setup.sh"
    touch "$stamp"
fi
# A persistent server makes every later process start in a fraction of a second. When the
# server is new, start the prefix's services at once, detached from the caller's output:
# started by a test, they would hold its output pipe open for as long as they live.
if wineserver -p > /dev/null 2>&1 < /dev/null; then
    wine64 wineboot > /dev/null 2>&1 < /dev/null || true
fi

case "$1" in
    *.exe) exec wine64 "$@" ;;
    *) exec "$@" ;;
esac
