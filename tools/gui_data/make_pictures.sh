#!/usr/bin/env bash
# Draws the interface's pictures with ImageMagick and writes each one as an
# uncompressed 32-bit BGRA DDS file with its full mip chain under
# OUT_DIR/images, at the paths the material table loads them from.
#
#   make_pictures.sh OUT_DIR
#
# Sizes are powers of two close to the size and aspect each picture is drawn
# at; pictures drawn tinted (panels, the tool bar, the slider knob) are light
# so that the tint sets their colour. Fonts come from fonts-urw-base35.
set -euo pipefail

out=${1:?usage: make_pictures.sh OUT_DIR}
if command -v magick >/dev/null 2>&1; then IM=(magick); else IM=(convert); fi
font_dir=/usr/share/fonts/opentype/urw-base35
sans_bold=$font_dir/NimbusSans-Bold.otf
serif_bold=$font_dir/URWBookman-Demi.otf
for f in "$sans_bold" "$serif_bold"; do
  [[ -f $f ]] || { echo "make_pictures: $f missing (install fonts-urw-base35)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/images/scrollbar/v2"

# The palette: a dark charcoal interface with one blue accent.
accent_top='#5aa7f0' accent_bot='#1f5fa8' accent_line='#0f3560' accent_hi='#9fd0ff'
dark_top='#4e5156' dark_bot='#2a2c30' dark_line='#121315' dark_hi='#6c7077'

# dds FILE ARGS...: run ImageMagick on ARGS and write images/FILE. The
# header is checked by the tests: 32-bit BGRA, every level down to 1x1.
dds() {
  local file=$1
  shift
  "${IM[@]}" "$@" -alpha set -define dds:compression=none \
    "DDS:$out/images/$file"
}

# A rounded, vertically shaded face with a dark rim and a light top edge,
# W x H, corner radius R: the base of every button.
face() {
  local w=$1 h=$2 r=$3 top=$4 bot=$5 line=$6 hi=$7 png=$8
  "${IM[@]}" -size "${w}x${h}" gradient:"$top-$bot" \
    \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill none -stroke "$hi" -strokewidth 1 -draw "line $r,1.5 $((w - 1 - r)),1.5" \
    -stroke "$line" -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 $r,$r" \
    "$work/$png"
}

# Three-part buttons: the middle is stretched to any width, the 4-pixel end
# caps carry the rounded corners (8 texels squeezed into 4 pixels).
three_part() {
  local stem=$1 top=$2 bot=$3 line=$4 hi=$5
  face 64 32 7 "$top" "$bot" "$line" "$hi" "$stem.png"
  dds "$stem.dds" "$work/$stem.png" -crop 32x32+16+0 +repage -resize '64x32!'
  dds "${stem}_sl.dds" "$work/$stem.png" -crop 8x32+0+0 +repage
  dds "${stem}_sr.dds" "$work/$stem.png" -crop 8x32+56+0 +repage
}

# ---- Plain fills --------------------------------------------------------
dds blank.dds -size 16x16 xc:white
dds blank_op.dds -size 16x16 xc:'rgba(255,255,255,0)'
# Shown for any material that failed to load: a quiet grey checker, so a
# missing picture is visible without shouting.
dds default.dds -size 64x64 pattern:checkerboard -fill '#5a5a5a' -opaque white -fill '#3a3a3a' -opaque black

# ---- Buttons -------------------------------------------------------------
three_part tool_bar_button "$accent_top" "$accent_bot" "$accent_line" "$accent_hi"
three_part tool_bar_button_d "$dark_top" "$dark_bot" "$dark_line" "$dark_hi"
# The browse button "...": normal is the dark face, hover the accent face.
face 32 32 6 "$dark_top" "$dark_bot" "$dark_line" "$dark_hi" semi_d.png
dds tool_bar_button_semi_d.dds "$work/semi_d.png"
face 32 32 6 "$accent_top" "$accent_bot" "$accent_line" "$accent_hi" semi.png
dds tool_bar_button_semi.dds "$work/semi.png"

# ---- Panels (drawn tinted dark grey) -----------------------------------
dds menu_frame.dds -size 256x256 gradient:'#e6e6e6-#bdbdbd' \
  -fill none -stroke '#8a8a8a' -draw 'rectangle 1,1 254,254' -stroke white -draw 'rectangle 0,0 255,255'
dds menu_frame_top.dds -size 256x16 gradient:'#ffffff-#d8d8d8' \
  \( -size 256x16 xc:black -fill white -draw 'roundrectangle 0,0 255,24 6,6' \) \
  -alpha off -compose CopyOpacity -composite -compose Over \
  -fill none -stroke white -draw 'roundrectangle 0.5,0.5 255.5,24 6,6'
dds menu_frame_middle.dds -size 256x256 xc:'#cfcfcf' -fill none -stroke white -draw 'line 0,0 0,255 line 255,0 255,255'
dds menu_frame_bottom.dds -size 256x16 xc:'#cfcfcf' \
  \( -size 256x16 xc:black -fill white -draw 'roundrectangle 0,-9 255,15 6,6' \) \
  -alpha off -compose CopyOpacity -composite -compose Over \
  -fill none -stroke white -draw 'roundrectangle 0.5,-9 255.5,15.5 6,6'

# ---- First-generation scroll bar (the model list) ----------------------
dds scrollbar_main.dds -size 16x128 xc:none -fill '#26282b' -stroke '#4a4d52' \
  -draw 'roundrectangle 3.5,0.5 12.5,127.5 4,4' -stroke '#17181a' -draw 'line 5,2 5,125'
dds scrollbar_block.dds -size 16x16 xc:none \
  \( -size 16x16 gradient:'#b9bec6-#6d737c' \( -size 16x16 xc:black -fill white -draw 'roundrectangle 0,0 15,15 4,4' \) \
     -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
  -stroke '#3c4046' -fill none -draw 'roundrectangle 0.5,0.5 15.5,15.5 4,4' \
  -stroke '#3c4046' -draw 'line 4,5 11,5 line 4,8 11,8 line 4,11 11,11'

# ---- Second-generation scroll bar (log, properties, tags) --------------
v2=scrollbar/v2
dds $v2/ver_back.dds -size 16x128 gradient:'#1c1d20-#232529' -rotate -90 -resize '16x128!' \
  -fill none -stroke '#34373c' -draw 'line 0,0 0,127 line 15,0 15,127'
dds $v2/hoz_back.dds -size 128x16 gradient:'#1c1d20-#232529' \
  -fill none -stroke '#34373c' -draw 'line 0,0 127,0 line 0,15 127,15'
face 16 16 3 '#45484e' '#2c2e32' '#15161a' '#5d6168' s_dark.png
dds $v2/but_dark.dds "$work/s_dark.png"
face 16 16 3 "$accent_top" "$accent_bot" "$accent_line" "$accent_hi" s_light.png
dds $v2/but_light.dds "$work/s_light.png"
# Points up; the toolkit mirrors and turns it for the other three arrows.
dds $v2/chev.dds -size 16x16 xc:none -fill none -stroke '#e8e8e8' -strokewidth 2 \
  -draw 'polyline 4,10 8,6 12,10'
# The slider block: rounded ends (top end; mirrored for the bottom) and a
# middle stretched between them; the "_h" pair runs left to right.
dds $v2/dark_slider_end.dds -size 16x8 xc:none \
  \( -size 16x16 gradient:'#6b7079-#4b4f56' -rotate -90 \
     \( -size 16x16 xc:black -fill white -draw 'roundrectangle 2,1 13,30 5,5' \) \
     -alpha off -compose CopyOpacity -composite -compose Over -crop 16x8+0+0 +repage \) -composite \
  -fill none -stroke '#23252a' -draw 'roundrectangle 2.5,1.5 13.5,30 5,5'
dds $v2/dark_slider_mid.dds -size 16x16 gradient:'#6b7079-#4b4f56' -rotate -90 \
  -fill none -stroke '#23252a' -draw 'line 2,0 2,15 line 13,0 13,15' \
  \( -size 16x16 xc:black -fill white -draw 'rectangle 2,0 13,15' \) -alpha off -compose CopyOpacity -composite
dds $v2/dark_slider_end_h.dds -size 8x16 xc:none \
  \( -size 16x16 gradient:'#6b7079-#4b4f56' \
     \( -size 16x16 xc:black -fill white -draw 'roundrectangle 1,2 30,13 5,5' \) \
     -alpha off -compose CopyOpacity -composite -compose Over -crop 8x16+0+0 +repage \) -composite \
  -fill none -stroke '#23252a' -draw 'roundrectangle 1.5,2.5 30,13.5 5,5'
dds $v2/dark_slider_mid_h.dds -size 16x16 gradient:'#6b7079-#4b4f56' \
  -fill none -stroke '#23252a' -draw 'line 0,2 15,2 line 0,13 15,13' \
  \( -size 16x16 xc:black -fill white -draw 'rectangle 0,2 15,13' \) -alpha off -compose CopyOpacity -composite
dds $v2/ver_slider_insert.dds -size 16x16 xc:none -stroke '#2a2c31' \
  -draw 'line 5,5 10,5 line 5,8 10,8 line 5,11 10,11' -stroke '#8d939c' -draw 'line 5,6 10,6 line 5,9 10,9 line 5,12 10,12'
dds $v2/hoz_slider_insert.dds -size 16x16 xc:none -stroke '#2a2c31' \
  -draw 'line 5,5 5,10 line 8,5 8,10 line 11,5 11,10' -stroke '#8d939c' -draw 'line 6,5 6,10 line 9,5 9,10 line 12,5 12,10'

# ---- Small symbols -----------------------------------------------------
# Reset: a circular arrow; grey at rest, accent blue under the mouse.
reset_arrow() {
  dds "$1" -size 32x32 xc:none -fill none -stroke "$2" -strokewidth 4 -draw 'arc 6,6 26,26 -60,210' \
    -stroke none -fill "$2" -draw 'polygon 20,3 29,10 19,14'
}
reset_arrow reset_path.dds "$accent_hi"
reset_arrow reset_path_dark.dds '#9a9ea6'
dds chev.dds -size 32x32 xc:none -fill none -stroke '#e6e6e6' -strokewidth 4 -draw 'polyline 11,7 21,16 11,25'
dds blue_arrow.dds -size 32x32 xc:none -fill "$accent_top" -stroke "$accent_hi" -strokewidth 2 \
  -draw 'polygon 22,5 22,27 7,16'
dds drop_down_arrow.dds -size 32x32 xc:none -fill '#d8dbe0' -stroke none -draw 'polygon 7,11 25,11 16,22'
dds frame_x.dds -size 32x32 xc:none \
  \( -size 32x32 gradient:'#e0584e-#9c231b' \( -size 32x32 xc:black -fill white -draw 'roundrectangle 1,1 30,30 6,6' \) \
     -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
  -fill none -stroke '#5a120c' -draw 'roundrectangle 1.5,1.5 30.5,30.5 6,6' \
  -stroke white -strokewidth 4 -draw 'line 10,10 22,22 line 22,10 10,22'
dds resize_dots.dds -size 32x32 xc:none -fill white \
  -draw 'circle 26,26 28,26 circle 18,26 20,26 circle 10,26 12,26 circle 26,18 28,18 circle 18,18 20,18 circle 26,10 28,10'
dds green_tick.dds -size 32x32 xc:none -fill none -stroke '#0f3b12' -strokewidth 7 -draw 'polyline 5,17 13,25 27,7' \
  -stroke '#46d04f' -strokewidth 4 -draw 'polyline 5,17 13,25 27,7'
# A rule under titles: opaque in the middle, fading out at both ends.
dds faded_line.dds -size 256x4 xc:white -channel A -fx 'sin(pi * (i + 0.5) / w) * (j == 0 || j == 3 ? 0.5 : 1)' +channel

# ---- Sliders, progress bar, tool bars ----------------------------------
dds slider_2_back.dds -size 128x8 xc:none -fill '#1b1c1f' -stroke '#5b5f66' -draw 'roundrectangle 0.5,0.5 127.5,7.5 3,3'
dds slider_2_knob.dds -size 32x32 xc:none \
  \( -size 32x32 radial-gradient:'#ffffff-#9aa0a8' \( -size 32x32 xc:black -fill white -draw 'circle 16,16 16,2' \) \
     -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
  -fill none -stroke '#3a3d42' -strokewidth 2 -draw 'circle 16,16 16,3'
# Gloss over the fill colour: light above, shade below, a dark rim.
dds progress_bar_top.dds -size 128x16 xc:none \
  \( -size 128x8 gradient:'rgba(255,255,255,0.55)-rgba(255,255,255,0.1)' \
     -size 128x8 gradient:'rgba(0,0,0,0)-rgba(0,0,0,0.35)' -append \) -composite \
  -fill none -stroke 'rgba(0,0,0,0.8)' -draw 'rectangle 0,0 127,15'
dds tool_bar.dds -size 256x32 gradient:'#3a3c40-#1c1d20' -fill none -stroke '#5c6068' -draw 'line 0,0 255,0'
dds tool_bar_top.dds -size 256x32 gradient:'#2e3034-#1a1b1e' -fill none -stroke '#4a4d53' -draw 'line 0,31 255,31' \
  -stroke '#0c0c0d' -draw 'line 0,30 255,30'
dds tool_bar_top_div.dds -size 32x32 xc:none -stroke '#0c0c0d' -draw 'line 15,6 15,28' -stroke '#4f535a' -draw 'line 16,6 16,28'
dds timer_back.dds -size 128x32 xc:none \
  \( -size 128x32 gradient:'#2e3034-#141517' \( -size 128x32 xc:black -fill white -draw 'roundrectangle -20,0 120,31 10,10' \) \
     -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
  -fill none -stroke "$accent_bot" -strokewidth 2 -draw 'roundrectangle -20,1 119,30 10,10'
# Gloss for the timer plate: white whose opacity falls from the top edge.
dds timer_over.dds -size 128x32 xc:none -fill white -draw 'roundrectangle -20,2 117,29 9,9' \
  -channel A -fx 'a * max(0, 0.32 - 0.4 * j / h)' +channel

# ---- Message icons -----------------------------------------------------
round_icon() {
  local file=$1 light=$2 dark=$3 rim=$4
  shift 4
  dds "$file" -size 64x64 xc:none -fill 'rgba(0,0,0,0.45)' -draw 'circle 33,34 33,4' \
    \( -size 64x64 radial-gradient:"$light-$dark" \( -size 64x64 xc:black -fill white -draw 'circle 31,31 31,3' \) \
       -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
    -fill none -stroke "$rim" -strokewidth 2 -draw 'circle 31,31 31,3' \
    -fill 'rgba(255,255,255,0.22)' -stroke none -draw 'ellipse 31,17 17,9 0,360' "$@"
}
round_icon error_icon.dds '#ff6b5e' '#b3160c' '#6e0b05' -stroke white -strokewidth 7 -draw 'line 21,21 41,41 line 41,21 21,41'
round_icon info_icon.dds '#6fb6ff' '#1550a8' '#0a2c63' -fill white -stroke none -draw 'circle 31,18 31,13' \
  -draw 'roundrectangle 27,25 35,49 2,2' -draw 'rectangle 23,45 39,49' -draw 'rectangle 23,25 31,29'

# ---- Tree icons (drawn 8 x 8: bold shapes, no detail) -------------------
dds tree_file.dds -size 32x32 xc:none -fill '#e9ecf1' -stroke '#5f6670' -strokewidth 2 \
  -draw 'polygon 7,2 19,2 26,9 26,30 7,30' -fill '#b9c0ca' -draw 'polygon 19,2 19,9 26,9'
dds tree_folder.dds -size 32x32 xc:none -fill '#c98f1c' -stroke '#6e4a08' -strokewidth 2 \
  -draw 'polygon 2,7 12,7 15,10 29,10 29,27 2,27' -fill '#f2c14e' -draw 'polygon 2,13 30,13 29,27 2,27'
dds tree_node.dds -size 32x32 xc:none -fill "$accent_top" -stroke "$accent_hi" -strokewidth 2 \
  -draw 'polygon 16,3 29,16 16,29 3,16'
dds tree_arrow_right.dds -size 32x32 xc:none -fill '#d8dbe0' -stroke none -draw 'polygon 9,5 25,16 9,27'
dds tree_cross.dds -size 32x32 xc:none -stroke '#ff5a4a' -strokewidth 6 -draw 'line 7,7 25,25 line 25,7 7,25'
dds tree_tick.dds -size 32x32 xc:none -fill none -stroke '#46d04f' -strokewidth 6 -draw 'polyline 4,17 12,25 28,6'
dds tree_mesh.dds -size 32x32 xc:none -fill 'rgba(90,167,240,0.35)' -stroke '#8fd0ff' -strokewidth 2 \
  -draw 'polygon 16,2 30,27 2,27' -fill none -draw 'line 16,2 16,27 line 9,15 23,15 line 9,15 16,27 line 23,15 16,27'
dds joint.dds -size 32x32 xc:none -fill none -stroke '#30d07a' -strokewidth 3 -draw 'circle 16,16 16,4' \
  -draw 'ellipse 16,16 12,5 0,360' -draw 'ellipse 16,16 5,12 0,360'

# ---- Cursor --------------------------------------------------------------
# Drawn 32 x 32 with its top-left corner at the pointer: the tip is texel 0,0.
dds cursor.dds -size 32x32 xc:none -fill white -stroke black -strokewidth 1.5 \
  -draw 'polygon 1,1 1,22 6,17 10,26 14,24 10,16 17,16'

# ---- Light bulb (a 32 x 64 toggle) -------------------------------------
bulb() {
  local file=$1 glass=$2 glow=$3 rim=$4
  dds "$file" -size 32x64 xc:none \
    \( -size 32x32 radial-gradient:"$glow-rgba(0,0,0,0)" \) -geometry +0+5 -composite \
    -fill "$glass" -stroke "$rim" -strokewidth 2 -draw 'circle 16,21 16,9' \
    -draw 'polygon 10,29 22,29 20,40 12,40' \
    -fill '#8e949c' -stroke '#3b3f45' -strokewidth 1 -draw 'roundrectangle 11,40 21,50 2,2' \
    -stroke '#3b3f45' -draw 'line 11,43 21,43 line 11,46 21,46' -fill '#3b3f45' -draw 'roundrectangle 13,50 19,54 2,2' \
    -fill none -stroke "$rim" -strokewidth 1 -draw 'polyline 13,31 14,24 16,27 18,24 19,31'
}
bulb light_bulb_64_32_on.dds '#fff3a6' 'rgba(255,214,80,0.6)' '#d89a12'
bulb light_bulb_64_32_off.dds '#6d7177' 'rgba(0,0,0,0)' '#3b3f45'

# ---- Colour picker -------------------------------------------------------
# The saturation-value square is an overlay for a quad of the pure hue:
# white fading out to the right, then black fading in downwards. Over the
# hue it gives value * ((1 - s) + s * hue) at every point.
"${IM[@]}" -size 128x128 gradient:white-black -rotate -90 "$work/sat.png"     # alpha: 1 left, 0 right
"${IM[@]}" -size 128x128 gradient:black-white "$work/val.png"                 # alpha: 0 top, 1 bottom
dds color_p_main.dds -size 128x128 xc:white \( "$work/sat.png" \) -alpha off -compose CopyOpacity -composite \
  \( -size 128x128 xc:black \( "$work/val.png" \) -alpha off -compose CopyOpacity -composite \) -compose Over -composite
# Hue from red at the top through the whole circle in the top 95 rows (the
# part that takes clicks); the rest of the 128-row picture is empty.
hue_stops=('#ff0000' '#ffff00' '#00ff00' '#00ffff' '#0000ff' '#ff00ff' '#ff0000')
args=()
for i in 0 1 2 3 4 5; do
  h=16; [[ $i -eq 5 ]] && h=15
  args+=(-size "16x$h" gradient:"${hue_stops[$i]}-${hue_stops[$((i + 1))]}")
done
"${IM[@]}" "${args[@]}" -append "$work/hue.png"
dds color_p_hue.dds -size 32x128 xc:none \( "$work/hue.png" \) -geometry +8+0 -composite \
  -fill none -stroke '#101113' -draw 'rectangle 7.5,-0.5 24.5,95.5'
dds color_p_select.dds -size 16x16 xc:none -fill none -stroke black -strokewidth 3 -draw 'circle 8,8 8,2' \
  -stroke white -strokewidth 1.5 -draw 'circle 8,8 8,2'
dds color_p_slide.dds -size 32x8 xc:none -fill white -stroke black -strokewidth 1 \
  -draw 'polygon 0.5,0.5 7,4 0.5,7.5' -draw 'polygon 31.5,0.5 25,4 31.5,7.5' -fill none -stroke white -draw 'line 7,4 25,4'

# ---- Stick man with sound waves (150 x 150) ---------------------------
dds stickman_sound.dds -size 128x128 xc:none -fill none -stroke '#e8e8e8' -strokewidth 5 \
  -draw 'circle 38,28 38,14' -draw 'line 38,42 38,84 line 38,54 18,72 line 38,54 60,66 line 38,84 22,118 line 38,84 54,118' \
  -stroke "$accent_top" -strokewidth 4 -draw 'arc 44,10 72,46 -50,50' -draw 'arc 46,0 92,56 -45,45' \
  -draw 'arc 48,-12 112,68 -40,40'

# ---- Mouse diagrams (256 x 256, labels are text boxes placed around) --
# The boxes "Angle" (left), "Move" (top) and "Zoom" (right) sit at
# (-30, 55), (68, 15) and (153, 55) in the picture's frame; leader lines run
# from the buttons to them.
angle_c='#5aa7f0' move_c='#46d04f' zoom_c='#f0a03a'
mouse() {
  local file=$1 middle=$2
  shift 2
  dds "$file" -size 256x256 xc:none \
    -fill '#2b2d31' -stroke '#8a9099' -strokewidth 3 -draw 'roundrectangle 58,84 148,236 44,44' \
    -fill "$angle_c" -stroke none -draw 'path "M 103,86 L 103,150 L 60,150 L 60,128 Q 60,86 103,86 Z"' \
    -fill "$zoom_c" -draw 'path "M 103,86 L 103,150 L 146,150 L 146,128 Q 146,86 103,86 Z"' \
    -fill none -stroke '#8a9099' -strokewidth 3 -draw 'line 59,150 147,150 line 103,86 103,150' \
    -fill "$middle" -stroke '#1b1c1f' -strokewidth 2 -draw 'roundrectangle 96,100 110,130 6,6' \
    -fill none -strokewidth 2 -stroke "$angle_c" -draw 'polyline 72,112 40,64' \
    -stroke "$zoom_c" -draw 'polyline 134,112 153,64' "$@"
}
mouse hotkey_mouse.dds "$move_c" -stroke "$move_c" -draw 'line 103,100 103,33'
# Asset-viewer style: left and right together move, the middle button does
# nothing.
mouse hotkey_mouse_1.dds '#55585e' -stroke "$move_c" -strokewidth 3 -fill none \
  -draw 'line 78,92 78,66 line 78,66 128,66 line 128,66 128,92 line 103,66 103,33'

# ---- Logo, download button, donate background --------------------------
dds qor_fen.dds -size 256x64 xc:none -font "$sans_bold" -pointsize 36 \
  -fill 'rgba(0,0,0,0.7)' -annotate +7+42 'Qor_Fen' -fill "$accent_top" -stroke "$accent_line" -strokewidth 1 \
  -annotate +5+40 'Qor_Fen' -stroke none -font "$serif_bold" -pointsize 24 -fill 'rgba(0,0,0,0.7)' \
  -annotate +162+42 'Vantor' -fill '#eceef2' -annotate +160+40 'Vantor' \
  \( -size 246x2 xc:"$accent_hi" -channel A -fx 'sin(pi * (i + 0.5) / w)' +channel \) -geometry +5+50 -composite
# The splash: the logo on the dark face, with the three games named. Read by
# the splash window as plain BGRA rows, top row first (no mip levels).
"${IM[@]}" -size 400x200 gradient:"$dark_top-$dark_bot" \
  -fill none -stroke "$accent_line" -strokewidth 3 -draw 'rectangle 1,1 398,198' \
  -font "$sans_bold" -pointsize 46 -fill 'rgba(0,0,0,0.7)' -stroke none -annotate +34+92 'Qor_Fen' \
  -fill "$accent_top" -stroke "$accent_line" -strokewidth 1 -annotate +31+89 'Qor_Fen' \
  -stroke none -font "$serif_bold" -pointsize 34 -fill '#eceef2' -annotate +256+89 'Vantor' \
  -font "$sans_bold" -pointsize 15 -fill '#b8bcc4' -annotate +34+140 'COD 4  -  COD 5  -  COD Black Ops' \
  -pointsize 12 -fill '#8a8f98' -annotate +34+172 'Loading...' \
  -alpha set -define dds:compression=none -define dds:mipmaps=0 "DDS:$out/images/splash.dds"
dds download_button.dds -size 256x64 xc:none \
  \( -size 256x64 gradient:"$accent_top-$accent_bot" \( -size 256x64 xc:black -fill white \
     -draw 'roundrectangle 0,0 255,63 12,12' \) -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
  -fill none -stroke "$accent_line" -strokewidth 2 -draw 'roundrectangle 1,1 254,62 12,12' \
  -stroke "$accent_hi" -strokewidth 1 -draw 'line 12,3 243,3' \
  -fill white -stroke none -draw 'polygon 22,30 42,30 32,44' -draw 'rectangle 28,16 36,31' -draw 'rectangle 20,47 44,50'
dds donate_bck.dds -size 256x256 xc:none \
  \( -size 256x256 gradient:'#34373c-#16171a' \( -size 256x256 xc:black -fill white \
     -draw 'roundrectangle 4,4 251,251 14,14' \) -alpha off -compose CopyOpacity -composite -compose Over \) -composite \
  -fill none -stroke "$accent_bot" -strokewidth 3 -draw 'roundrectangle 5,5 250,250 14,14' \
  -font "$serif_bold" -pointsize 24 -fill '#e8e8e8' -stroke none -gravity north -annotate +0+22 'Enjoying Vantor?' \
  -font "$sans_bold" -pointsize 13 -fill '#b8bcc4' -annotate +0+62 'It is free and always will be.' \
  -annotate +0+82 'A small donation keeps it going.' \
  -gravity northwest -fill '#e0584e' -draw 'path "M 128,170 C 100,146 92,126 110,118 C 120,114 126,120 128,126 C 130,120 136,114 146,118 C 164,126 156,146 128,170 Z"' \
  -fill "$accent_top" -stroke "$accent_hi" -strokewidth 1 -draw 'roundrectangle 17,205 87,235 8,8' \
  -fill white -stroke none -font "$sans_bold" -pointsize 14 -annotate +29+212 'Donate'
