#!/usr/bin/env bash
# Installs what building and testing need, once: a second run installs nothing.
set -euo pipefail
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 xvfb xserver-xephyr x11-utils
          x11-xserver-utils googletest clang libclang-rt-14-dev zlib1g-dev
          libz-mingw-w64-dev=1.2.13+dfsg-1)
missing=()
# A pinned package (name=version) counts as missing unless exactly that version is installed.
for p in "${packages[@]}"; do
    name=${p%%=*}
    installed=$(dpkg-query -W -f='${Status}|${Version}' "$name" 2>/dev/null || true)
    if [ "${installed%%|*}" != "install ok installed" ] ||
       { [ "$p" != "$name" ] && [ "${installed#*|}" != "${p#*=}" ]; }; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
