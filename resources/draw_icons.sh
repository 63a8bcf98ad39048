#!/usr/bin/env bash
# Renders the application icon org.example.Kartovel.svg (the window icon's drawing,
# scaled up) into the hicolor PNG sizes the desktop entry uses, and the Windows icon
# kartovel.ico holding the same sizes. Needs rsvg-convert (librsvg2-bin) and
# ImageMagick. The results are committed; run this again only to change the drawing.
set -euo pipefail
cd "$(dirname "$0")"

sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  mkdir -p "icons/$size"
  rsvg-convert -w "$size" -h "$size" org.example.Kartovel.svg |
    convert png:- -strip -define png:exclude-chunks=date,time "png32:icons/$size/org.example.Kartovel.png"
done
files=()
for size in "${sizes[@]}"; do files+=("icons/$size/org.example.Kartovel.png"); done
convert "${files[@]}" -strip kartovel.ico
