#!/usr/bin/env bash
# Draws the sample wallpaper shipped with the installer: a calm dawn sky over
# soft hills, 1024 x 768, low in contrast so a month grid stays readable over it.
# Usage: make-sample-wallpaper.sh OUTPUT.jpg
set -euo pipefail
out=${1:?usage: make-sample-wallpaper.sh OUTPUT.jpg}

# Drawn at a quarter of the size and enlarged: every edge comes out soft, and
# the blurs cost a sixteenth. Coordinates below are those of the full picture.
layer() {  # fill, draw primitive, blur radius at full size
  printf '%s\n' '(' -size 256x192 xc:none -fill "$1" -draw "scale 0.25,0.25 $2" -blur "0x$(($3 / 4))" ')' -composite
}

mapfile -t layers < <(
  layer 'rgba(255,246,222,0.90)' 'circle 770,250 770,180' 40
  layer 'rgba(255,255,255,0.18)' 'circle 180,150 180,60' 25
  layer 'rgba(255,255,255,0.14)' 'circle 330,300 330,250' 20
  layer 'rgba(255,255,255,0.12)' 'circle 560,110 560,75' 15
  layer '#b3cfc2' 'path "M 0,520 C 180,450 360,470 540,510 C 720,550 880,470 1024,480 L 1024,768 L 0,768 Z"' 8
  layer '#93b9aa' 'path "M 0,620 C 220,560 420,600 620,630 C 800,655 930,590 1024,600 L 1024,768 L 0,768 Z"' 8
  layer '#7ea898' 'path "M 0,720 C 260,670 520,700 760,715 C 880,722 960,700 1024,705 L 1024,768 L 0,768 Z"' 8
)

# -strip keeps dates and profiles out, so the same script gives the same file.
convert -size 256x192 gradient:'#a8c8e4-#f4dcc4' "${layers[@]}" -resize 1024x768 \
  -strip -sampling-factor 2x2 -quality 88 "$out"
