#!/usr/bin/env bash
# Fails when an include in src/ points up the layer order or across siblings. The order, lowest
# first; folders on one line are siblings and must not know each other:
layers=(
    "tessel"
    "win"
    "imaging"
    "capture history"
    "viewer tray"
    "app"
)
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A rank
for i in "${!layers[@]}"; do
    for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

status=0
for dir in */; do
    folder=${dir%/}
    if [ -z "${rank[$folder]+set}" ]; then
        echo "src/$folder is in no layer: add it to scripts/check-layers.sh"
        status=1
        continue
    fi
    while IFS=: read -r file line target; do
        target=${target#*\"}; target=${target%%/*}
        [ "$target" = "$folder" ] && continue
        if [ -z "${rank[$target]+set}" ] || [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
            echo "src/$file:$line includes $target/, which is not below $folder/"
            status=1
        fi
    done < <(grep -nE '^#include "[a-z_]+/' "$folder"/* /dev/null)
done
[ $status -eq 0 ] && echo "Layers: every include points down."
exit $status
