#!/usr/bin/env bash
# scripts/run.sh on a user's display must change nothing global in the user's Wine prefix:
# at most a per-program setting, and only where no window manager runs. A copy of the script
# runs against stand-ins for the build steps, wine64 and xprop, which log what they are asked.
set -euo pipefail
source_root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/scripts" "$work/bin" "$work/home/.wine"
cp "$source_root/scripts/run.sh" "$source_root/scripts/prepare-build.sh" "$work/root/scripts/"
for stub in setup.sh configure.sh wine-prefix-setup.sh with-wine.sh; do
    printf '#!/bin/sh\necho "%s $*" >> "%s/log"\n' "$stub" "$work" > "$work/root/scripts/$stub"
done
for stub in wine64 cmake; do
    printf '#!/bin/sh\necho "%s $*" >> "%s/log"\n' "$stub" "$work" > "$work/bin/$stub"
done
chmod +x "$work"/root/scripts/*.sh "$work"/bin/*

status=0
check() {  # check WINDOW_MANAGER(yes|no) EXPECTED_WINE_CALLS...
    local wm=$1; shift
    if [ "$wm" = yes ]; then
        printf '#!/bin/sh\necho "_NET_SUPPORTING_WM_CHECK(WINDOW): window id # 0x200001"\n'
    else
        printf '#!/bin/sh\necho "_NET_SUPPORTING_WM_CHECK:  not found."\n'
    fi > "$work/bin/xprop"
    chmod +x "$work/bin/xprop"
    rm -f "$work/log"
    env -u WINEPREFIX HOME="$work/home" DISPLAY=:99 PATH="$work/bin:$PATH" \
        bash "$work/root/scripts/run.sh" /open
    local calls
    calls=$(grep -v -e '^setup.sh' -e '^configure.sh' -e '^cmake' "$work/log" || true)
    local expected
    expected=$(printf '%s\n' "$@")
    if [ "$calls" != "$expected" ]; then
        echo "window manager $wm: expected"; echo "$expected"; echo "got"; echo "$calls"
        status=1
    fi
}
run="wine64 $work/root/build/win/glimpser.exe /open"
app='HKCU\Software\Wine\AppDefaults\glimpser.exe\X11 Driver'
check yes "$run"
check no "wine64 reg add $app /v Managed /d N /f" "$run"
# A prefix that an earlier version set up globally gets that setting taken back, once.
touch "$work/home/.wine/.glimpser-setup-2"
check yes 'wine64 reg delete HKCU\Software\Wine\X11 Driver /v Managed /f' "$run"
check yes "$run"
exit $status
