#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are missing, with apt; a second run
# installs nothing. A pinned package (name=version) counts as missing unless exactly that
# version is installed.
set -euo pipefail
missing=()
for p in "$@"; do
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
