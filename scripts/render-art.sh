#!/usr/bin/env bash
# Renders the artwork in resources/art/*.svg to the BMP and ICO files the resource script
# includes. The rendered files are committed, so building needs neither tool.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../resources"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

bitmap() {  # svg width height out.bmp
  rsvg-convert -w "$2" -h "$3" "art/$1" -o "$tmp/$1.png"
  # 24-bit bottom-up BMP without alpha: what LoadBitmap and static pictures expect.
  convert "$tmp/$1.png" -background white -alpha remove -alpha off -type TrueColor \
    "BMP3:$4"
}

# The General page's pictures, sized for their dialog-unit boxes at 8 pt MS Sans Serif.
bitmap general.svg 530 312 general.bmp
bitmap banner.svg 513 70 banner.bmp

for s in 16 32 48; do rsvg-convert -w $s -h $s art/icon.svg -o "$tmp/icon$s.png"; done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" tarnwick.ico
echo "rendered: resources/general.bmp resources/banner.bmp resources/tarnwick.ico"
