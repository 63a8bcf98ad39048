#!/usr/bin/env bash
# Draws the about page's emblem (113 x 121) and the window icon (32 x 32) with
# ImageMagick: a globe graticule with a grid square over it and a scale bar, the
# program's two worlds, geographic and grid. The PNGs are committed; run this again only
# to change the drawing.
set -euo pipefail
cd "$(dirname "$0")"

ink='#1d3f73'   # graticule
sea='#dbe9f6'   # globe
grid='#b3261e'  # TM grid

# Globe centre (56,54), radius 46. Meridians at 30 and 60 degrees from the central one
# are ellipses of half-width 46 cos 30 = 39.8 and 46 cos 60 = 23; parallels at 30 and 60
# degrees lie 46 sin 30 = 23 and 46 sin 60 = 39.8 from the equator, half-length 39.8 and 23.
convert -size 113x121 xc:'#f3efe2' \
  -fill "$sea" -stroke "$ink" -strokewidth 2 -draw 'circle 56,54 56,8' \
  -fill none -strokewidth 1 \
  -draw 'ellipse 56,54 40,46 0,360' -draw 'ellipse 56,54 23,46 0,360' \
  -draw 'line 56,8 56,100' -draw 'line 10,54 102,54' \
  -draw 'line 16,31 96,31' -draw 'line 16,77 96,77' \
  -draw 'line 33,14 79,14' -draw 'line 33,94 79,94' \
  -stroke "$grid" -strokewidth 1 \
  -draw 'line 48,46 96,46' -draw 'line 48,62 96,62' -draw 'line 48,78 96,78' -draw 'line 48,94 96,94' \
  -draw 'line 48,46 48,94' -draw 'line 64,46 64,94' -draw 'line 80,46 80,94' -draw 'line 96,46 96,94' \
  -strokewidth 2 -draw 'line 56,40 56,100' \
  -stroke '#202020' -strokewidth 1 -fill '#202020' \
  -draw 'rectangle 16,108 36,113' -draw 'rectangle 56,108 76,113' \
  -fill '#ffffff' -draw 'rectangle 36,108 56,113' -draw 'rectangle 76,108 96,113' \
  -strip -define png:exclude-chunks=date,time emblem.png

convert -size 32x32 xc:none \
  -fill "$sea" -stroke "$ink" -strokewidth 2 -draw 'circle 16,16 16,2' \
  -fill none -strokewidth 1 -draw 'ellipse 16,16 7,14 0,360' -draw 'line 3,16 29,16' \
  -stroke "$grid" -strokewidth 1 \
  -draw 'line 14,14 28,14' -draw 'line 14,21 28,21' -draw 'line 14,28 28,28' \
  -draw 'line 14,14 14,28' -draw 'line 21,14 21,28' -draw 'line 28,14 28,28' \
  -strip -define png:exclude-chunks=date,time icon.png
