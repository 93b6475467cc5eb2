#!/usr/bin/env bash
# Runs the end-to-end case of a history folder that cannot be written, once with a folder that
# is really read-only and once with one on a full file system. Root writes into any folder
# whatever its permissions, so the first is made immutable (chattr +i); the second is a tmpfs of
# one page, filled up, so that a new file can be made but nothing written into it (a capture of
# the test pattern compresses to less than a page). The wineserver shares this mount
# namespace, so Wine sees both. Exits 77 (skipped) where either cannot be made.
# usage: unwritable_history.sh E2E_TESTS_EXE   (under scripts/with-wine.sh)
set -euo pipefail
exe=$1
state=$(mktemp -d "${TMPDIR:-/tmp}/glimpser-unwritable.XXXXXX")
read_only="$state/read-only"
full="$state/full"
mkdir -p "$read_only" "$full"
cleanup() {
    chattr -i "$read_only" 2> /dev/null || true
    umount "$full" 2> /dev/null || true
    rm -rf "$state"
}
trap cleanup EXIT
chattr +i "$read_only" 2> /dev/null || { echo "chattr +i is not possible here: skipped"; exit 77; }
mount -t tmpfs -o size=4k tmpfs "$full" 2> /dev/null || { echo "cannot mount a tmpfs: skipped"; exit 77; }
dd if=/dev/zero of="$full/filler" bs=1k > /dev/null 2>&1 || true
# Wine shows the root of the Unix file system as drive Z:.
for folder in "$read_only" "$full"; do
    GLIMPSER_UNWRITABLE_FOLDER="Z:${folder//\//\\}" wine64 "$exe" --gtest_filter='EndToEnd.UnwritableHistory*'
done
