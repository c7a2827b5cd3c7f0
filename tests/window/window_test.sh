# Screenshots of the sample model, framed on load, an empty scene with and
# without the axis, mouse drags in both styles, the screenshot's size, and
# a model of 100 surfaces (from the test models' writer, the first extra
# argument) drawn completely (wireframe: widgets_window_test.sh). The 3D
# view alone (--no-gui), but for one run with the interface: the Phong
# shader, the frame model key and the background picker.
needs import compare
test_model=$1
settings Export/export_scale_new=1.0 OpenGl/draw_bones=0
# Pixel statistics of a PPM: bright (model) pixels, their 4-connected blobs,
# pure-green pixels (the axis), coloured pixels in the middle half of the
# frame (textures), a hash for comparisons, and the first and last rows
# holding a bright pixel.
stats() {
  "$python" - "$1" <<'PY'
import hashlib, sys
parts = open(sys.argv[1], 'rb').read().split(maxsplit=4)
w, h, px = int(parts[1]), int(parts[2]), parts[4]
rgb = [tuple(px[3 * i:3 * i + 3]) for i in range(w * h)]
bright = [min(p) > 90 for p in rgb]
green = sum(g > 200 and r < 60 and b < 60 for r, g, b in rgb)
seen, blobs = bytearray(w * h), 0
for start in range(w * h):
    if not bright[start] or seen[start]:
        continue
    stack, size, seen[start] = [start], 0, 1
    while stack:
        p = stack.pop()
        size += 1
        y, x = divmod(p, w)
        for q, ok in ((p - w, y > 0), (p + w, y < h - 1), (p - 1, x > 0), (p + 1, x < w - 1)):
            if ok and bright[q] and not seen[q]:
                seen[q] = 1
                stack.append(q)
    blobs += size >= 4
centre = sum(max(p) - min(p) > 60 and max(p) > 90
             for y in range(h // 4, 3 * h // 4) for p in rgb[y * w + w // 4:y * w + 3 * w // 4])
rows = [y for y in range(h) if any(bright[y * w:(y + 1) * w])] or [-1]
print(w, h, sum(bright), blobs, green, centre, hashlib.md5(px).hexdigest(), rows[0], rows[-1])
PY
}

# The sample model: its pixels fill the middle of the frame, the grid is
# around it, and the DDS (as ImageMagick reads it) has the window's size.
shot model "$soldier"
read -r w h bright _ _ centre hash_model top bottom <<<"$(stats model.ppm)"
[[ $w == 800 && $h == 600 ]] || fail "screenshot is ${w}x${h}, not the window's 800x600"
((centre > 2000)) || fail "the middle of the frame does not show the model's texture colours ($centre coloured pixels)"
((bright > 1000)) || fail "the model is not drawn ($bright bright pixels)"
# A screenshot that cannot be written fails the run, and the log says where.
! xvfb "$vantor" --no-gui --frames 2 --screenshot missing/shot.dds >missing.log 2>&1 ||
  fail "a screenshot into a missing folder exited 0"
grep -q "QorScreenShot: .*missing/shot.dds" Log.txt || fail "no log line names the screenshot not written"

# "Frame Model On Load": the soldier, which the start view cuts at an edge,
# shows whole, head to boots, with room above and below.
((top <= 2 || bottom >= h - 3)) || fail "the start view already shows the whole soldier (rows $top to $bottom): no test of framing"
settings OpenGl/frame_model_on_load=1
shot framed "$soldier"
read -r _ _ _ _ _ _ _ top bottom <<<"$(stats framed.ppm)"
((top > 10 && bottom < h - 10 && bottom - top > h / 2)) ||
  fail "the framed soldier spans rows $top to $bottom of $h, not whole and filling the view"
settings OpenGl/frame_model_on_load=0

# No model: grid only, then with the axis.
shot empty
read -r _ _ bright_empty _ green_empty _ _ <<<"$(stats empty.ppm)"
((bright_empty < 50)) || fail "an empty scene shows $bright_empty bright pixels"
((green_empty == 0)) || fail "the axis shows while it is off"
settings OpenGl/draw_axis=1
shot axis
read -r _ _ _ _ green_axis _ _ <<<"$(stats axis.ppm)"
((green_axis > 5)) || fail "the axis does not show when on"
settings OpenGl/draw_axis=0

# 100 surfaces: 100 boxes.
grid=$("$test_model" grid "$work/grid")
shot grid "$grid"
read -r _ _ _ grid_blobs _ _ _ <<<"$(stats grid.ppm)"
((grid_blobs == 100)) || fail "the 100-surface model shows $grid_blobs boxes"
# A skeleton 64 bones deep draws without a GL error (GL's matrix stack is
# 32 deep), and an error would be in the log.
settings OpenGl/draw_bones=1
shot chain "$("$test_model" chain "$work/chain")"
! grep -q "OpenGL error" chain.log Log.txt || fail "drawing a deep skeleton: $(grep -h 'OpenGL error' chain.log Log.txt)"
settings OpenGl/draw_bones=0

# "l" shows the next level of detail; the line under the frame rate says so.
settings Folders/Cod4Path="$work/sample/cod4"
drive_window levels.log '
  xdotool sleep 2 windowfocus --sync "$win" mousemove --window "$win" 400 300 click 1 sleep 0.3 key l sleep 3 key Escape' \
  "$vantor" --frames 100000 --dump-layout levels.json \
  "$("$test_model" levels "$work/levels")"
"$python" -c 'import json, sys
doc = json.load(open(sys.argv[1]))
assert [i["text"] for m in doc["menus"] for i in m["items"] if i.get("text_name") == "lod_text"] == ["LOD 1 of 2"]' \
  levels.json || fail "after \"l\" the level line is not \"LOD 1 of 2\""

# With the interface, 800 x 600: the untextured boxes under the Phong
# shader ("Phong Shader" at (32, 140) in the opened light settings) are lit
# grey as without it, not black; "f" frames them; the background picker
# (OPEN GL page, its square's top right corner at (518, 327)) changes the
# background at once.
drive_window gui.log '
  xdotool sleep 2 windowfocus --sync "$win" mousemove --window "$win" 400 590 sleep 0.5; grab fixed.png
  xdotool mousemove --window "$win" 32 140 sleep 0.3 click 1 mousemove --window "$win" 400 590 sleep 0.5; grab phong.png
  xdotool key f sleep 0.5; grab framed_grid.png
  click_at 710 12 2.5; click_at 350 130 1.5; click_at 518 327 1.5; grab background.png
  kill $pid; wait $pid; exit 0' "$vantor" --frames 100000 --command "open light_settings;" "$grid"
for f in fixed phong framed_grid background; do convert $f.png $f.ppm; done
# Lit pixels among the boxes, and bright ones in a strip of background left
# of the settings window.
"$python" - fixed.ppm phong.ppm background.ppm >lit.txt <<'PY'
import sys
def count(path, x0, y0, x1, y1, floor):
    parts = open(path, 'rb').read().split(maxsplit=4)
    w, px = int(parts[1]), parts[4]
    return sum(max(px[3 * (y * w + x):3 * (y * w + x) + 3]) > floor for y in range(y0, y1) for x in range(x0, x1))
boxes = (200, 150, 540, 450, 50)
print(count(sys.argv[1], *boxes), count(sys.argv[2], *boxes), count(sys.argv[3], 40, 300, 90, 480, 150))
PY
read -r lit_fixed lit_phong bright_background <lit.txt
((lit_fixed > 2000)) || fail "the boxes are not drawn ($lit_fixed lit pixels)"
((lit_phong * 2 > lit_fixed)) || fail "under the Phong shader $lit_phong pixels are lit, $lit_fixed without: drawn black"
(($(differ phong.png framed_grid.png) > 500)) || fail "\"f\" changed $(differ phong.png framed_grid.png) pixels"
((bright_background > 4000)) || fail "the picked background shows in $bright_background pixels only"

# A drag moves the camera from the still view of the model, in each style.
for style_button in "0 3" "1 1"; do
  read -r style button <<<"$style_button"
  settings Misc/mouse_style="$style"
  drive_window drag_$style.log '
    sleep 0.5
    xdotool mousemove --window "$win" 400 300 sleep 0.1 mousedown '"$button"' sleep 0.1
    for i in 1 2 3 4 5 6 7 8 9 10; do xdotool mousemove_relative -- 15 8; sleep 0.05; done
    xdotool mouseup '"$button" "$vantor" --no-gui --frames 240 --screenshot drag_$style.dds "$soldier"
  convert drag_$style.dds drag_$style.ppm
  [[ $(stats drag_$style.ppm | cut -d" " -f7) != "$hash_model" ]] ||
    fail "mouse style $style: a drag with button $button did not move the camera"
done
