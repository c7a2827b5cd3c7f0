#!/usr/bin/env bash
# Draws the program's icon (a white "V" on the interface's blue accent, in a
# dark rounded square) with ImageMagick, as PNG files in the hicolor theme's
# layout: OUT_DIR/icons/hicolor/NxN/apps/vantor.png, N from 16 to 256.
#
#   make_icons.sh OUT_DIR
set -euo pipefail

out=${1:?usage: make_icons.sh OUT_DIR}
if command -v magick >/dev/null 2>&1; then IM=(magick); else IM=(convert); fi
font=/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf
[[ -f $font ]] || { echo "make_icons: $font missing (install fonts-urw-base35)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"${IM[@]}" -size 256x256 xc:none \
  -fill '#2a2c30' -stroke '#121315' -strokewidth 6 -draw "roundrectangle 8,8 247,247 44,44" \
  \( -size 200x200 gradient:'#5aa7f0-#1f5fa8' \
     \( -size 200x200 xc:black -fill white -draw "roundrectangle 0,0 199,199 34,34" \) \
     -alpha off -compose CopyOpacity -composite \) -geometry +28+28 -compose Over -composite \
  -font "$font" -pointsize 190 -fill white -stroke '#0f3560' -strokewidth 4 -gravity center \
  -annotate +0+10 V "$work/vantor.png"
for n in 16 32 48 64 128 256; do
  mkdir -p "$out/icons/hicolor/${n}x${n}/apps"
  "${IM[@]}" "$work/vantor.png" -resize "${n}x${n}" "PNG32:$out/icons/hicolor/${n}x${n}/apps/vantor.png"
done
