#!/usr/bin/env bash
# Draws the splash picture (607 x 446, 24 bits per pixel) that Setup shows while
# it installs. The committed splash.bmp was made with this script; run it again
# only to change the picture.
set -euo pipefail
cd "$(dirname "$0")"
lines=""
for i in $(seq -460 20 620); do lines="$lines line $i,446 $((i + 446)),0"; done
convert -size 446x607 gradient:'#3d7ab8-#1b3a5c' -rotate 90 \
    -stroke '#ffffff22' -strokewidth 2 -draw "$lines" -stroke none \
    -fill '#0d2035' -draw 'rectangle 0,330 607,446' \
    -fill '#f2c14e' -draw 'rectangle 40,110 48,290' \
    -font DejaVu-Sans-Bold -pointsize 72 -fill white -annotate +64+180 'Mosaika' \
    -font DejaVu-Sans -pointsize 30 -fill '#dce8f5' -annotate +68+230 'Tessora V5' \
    -font /usr/share/fonts/truetype/arphic/uming.ttc -pointsize 28 -fill '#f2c14e' \
    -annotate +68+280 '填充图案库 · AutoCAD 扩展模块' \
    -font DejaVu-Sans -pointsize 15 -fill '#9fb8d4' -annotate +68+420 'Quorvatek' \
    -alpha off -type truecolor BMP3:splash.bmp
