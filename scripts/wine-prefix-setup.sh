#!/usr/bin/env bash
# Makes a Wine prefix behave like the Windows desktop the program expects; run once per prefix
# (WINEPREFIX set, wine64 on PATH).
set -euo pipefail
# Without a window manager, managed windows make every hide and destroy wait about two seconds
# for one; unmanaged windows are handled at once.
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
# Nothing else is added: a new Wine prefix registers no "Content Type" for the image extensions
# (Windows does), and the program must save without them, as on stripped-down Windows images.
