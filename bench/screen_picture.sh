#!/usr/bin/env bash
# Draws the benchmarks' realistic screen, the same every time: WIDTH x HEIGHT pixels with a title
# bar, a photo-like left half (a fixed plasma seed, scaled up so that it is smooth like a photo),
# a dark code editor full of coloured text on the right, and a status bar.
# Usage: bench/screen_picture.sh WIDTH HEIGHT OUT.png (ImageMagick's convert on PATH).
set -euo pipefail
w=$1 h=$2 out=$3
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
half=$((w / 2)) title=40 status=26
body=$((h - title - status))
# A fixed seed makes the same text every time.
RANDOM=1234
words=(int auto const return if else for while struct class void bool HWND RECT Size Rect
       region bitmap screen window result cursor overlay capture history path image width height)
colors=('#d4d4d4' '#569cd6' '#6a9955' '#ce9178' '#dcdcaa' '#4ec9b0')
draw=()
for i in $(seq 1 $(( (body - 24) / 19 ))); do
    indent=$(( (RANDOM % 4) * 4 )) n=$((2 + RANDOM % 9)) line=""
    for _ in $(seq 1 $n); do line+="${words[RANDOM % ${#words[@]}]} "; done
    draw+=(-fill "${colors[RANDOM % ${#colors[@]}]}" -annotate "+$((56 + indent * 9))+$((i * 19))" "$line")
    draw+=(-fill '#858585' -annotate "+8+$((i * 19))" "$i")
done
convert -size "$((half / 4))x$((body / 4))" -seed 7 plasma:fractal -blur 0x1 -resize "${half}x${body}!" \
    "$tmp/photo.png"
convert -size "$((w - half))x${body}" xc:'#1e1e1e' -font DejaVu-Sans-Mono -pointsize 15 "${draw[@]}" "$tmp/code.png"
convert -size "${w}x${title}" xc:'#3c3c3c' -font DejaVu-Sans -pointsize 17 -fill '#cccccc' \
    -gravity center -annotate +0+0 'main_window.cpp - Glimpser - Editor' "$tmp/title.png"
convert -size "${w}x${status}" xc:'#007acc' -font DejaVu-Sans -pointsize 14 -fill white \
    -gravity west -annotate +12+0 'main  Ln 214, Col 9  Spaces: 4  UTF-8  LF  C++' "$tmp/status.png"
convert "$tmp/photo.png" "$tmp/code.png" +append "$tmp/middle.png"
convert "$tmp/title.png" "$tmp/middle.png" "$tmp/status.png" -append -strip -depth 8 "$out"
