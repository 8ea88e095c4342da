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

# The General page's pictures, sized for their dialog-unit boxes at 8 pt MS Shell Dlg
# (6 x 13 pixels a base unit at 96 dpi), and at 150 % and 200 % of that for larger screens;
# the program scales the rendering nearest above the size a picture takes.
for scale in 100 150 200; do
  suffix=""
  [ $scale = 100 ] || suffix="-$scale"
  bitmap general.svg $((530 * scale / 100)) $((312 * scale / 100)) "general$suffix.bmp"
  bitmap banner.svg $((513 * scale / 100)) $((70 * scale / 100)) "banner$suffix.bmp"
done

sizes=(16 20 24 32 40 48 64 256)
for s in "${sizes[@]}"; do rsvg-convert -w "$s" -h "$s" art/icon.svg -o "$tmp/icon$s.png"; done
files=(); for s in "${sizes[@]}"; do files+=("$tmp/icon$s.png"); done
convert "${files[@]}" tarnwick.ico
echo "rendered: resources/general*.bmp resources/banner*.bmp resources/tarnwick.ico"
