#!/usr/bin/env bash
# Makes a Wine prefix behave like the Windows desktop the program expects; run once per prefix
# (WINEPREFIX set, wine64 on PATH).
set -euo pipefail
trap 'echo "$0: line $LINENO failed: $BASH_COMMAND" >&2' ERR
# Without a window manager, managed windows make every hide and destroy wait about two seconds
# for one; unmanaged windows are handled at once. A CI run once stopped without a word while a
# new prefix was set up, here or at the server wait before (not seen again in many runs): this
# step is tried again, and a step that fails now says which it is.
for attempt in 1 2 3; do
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2> "$WINEPREFIX/reg-add.log" \
        && break
    [ "$attempt" = 3 ] && { cat "$WINEPREFIX/reg-add.log" >&2; exit 1; }
    sleep 1
done
# Nothing else is added: a new Wine prefix registers no "Content Type" for the image extensions
# (Windows does), and the program must save without them, as on stripped-down Windows images.
# Windows has Marlett (caption buttons), Tahoma and MS Sans Serif in its fonts folder. Debian's
# Wine 8 looks for them only there, never in /usr/share/wine/fonts where fonts-wine puts them,
# and without Marlett the minimise, maximise and close buttons show the letters '0 1 r'.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*; do
    [ -e "$font" ] && ln -sf "$font" "$fonts/"
done
