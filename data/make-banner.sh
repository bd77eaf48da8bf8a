#!/bin/sh
# Draws the window's banner (181 x 38, 16 colours) into data/banner.png with
# ImageMagick: a tachometer dial and the program's name on a blue gradient.
set -eu
here=$(dirname "$0")
cx=19 cy=21
ticks=$(awk -v cx=$cx -v cy=$cy 'BEGIN {
  for (k = 0; k < 9; k++) {
    a = (150 + k * 30) * 3.14159265 / 180; r1 = (k % 2 == 0) ? 11 : 13; r2 = 15
    printf "line %.1f,%.1f %.1f,%.1f ", cx + r1 * cos(a), cy + r1 * sin(a), cx + r2 * cos(a), cy + r2 * sin(a)
  } }')
convert -size 181x38 gradient:'#0a1a4a'-'#1f4fa0' \
  -fill none -stroke '#9fc7ff' -strokewidth 1.5 -draw "arc 3,5 35,37 150,390" \
  -stroke '#ffffff' -strokewidth 1 -draw "$ticks" \
  -stroke '#ff3030' -strokewidth 2 -draw "line $cx,$cy 28,12" \
  -stroke none -fill '#ffffff' -draw "circle $cx,$cy 21,$cy" \
  -font DejaVu-Sans-Bold -pointsize 18 -fill '#ffffff' -annotate +42+21 'Tachometrix' \
  -font DejaVu-Sans -pointsize 9 -fill '#9fc7ff' -annotate +43+33 'CD-ROM drive benchmark' \
  -colors 16 -strip PNG8:"$here/banner.png"
