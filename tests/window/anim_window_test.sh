# An animation on the COD 4 character of the samples (skipped without
# them): its poses differ from the model's own and from each other, the
# panel's buttons play, pause, step it a frame at a time and stop it, and
# the root-motion switch moves the model; the tags panel's menu stays open
# while the tags move.
samples=$window_tests/../../../shared/samples
[[ -d $samples/cod4-xanim ]] || { echo "SKIP: no samples at $samples"; exit 0; }
needs import compare
# A game root of the tools' models with the animations beside them.
mkdir -p root/raw
for d in "$samples"/cod4-modtools/raw/*; do ln -s "$d" root/raw/; done
ln -s "$samples/cod4-xanim/raw/xanim" root/raw/xanim
body=$work/root/raw/xmodel/body_complete_sp_arab_regular_al_asad_dmg
walk=$work/root/raw/xanim/walk_lowready_f
settings Export/export_scale_new=1.0 OpenGl/draw_bones=0

shot bind "$body"
shot walk0 "$body" --anim "$walk" --anim-frame 0
shot walk40 "$body" --anim "$walk" --anim-frame 40
(($(differ bind.ppm walk0.ppm) > 2000)) || fail "the walk's first frame looks like the model's own pose"
(($(differ walk0.ppm walk40.ppm) > 2000)) || fail "the walk's frames 0 and 40 look the same"
grep -q "Xanim Loaded: '$walk'" Log.txt || fail "the log does not say the animation loaded"
# A file that is no animation: the error names it, the model stays.
head -c 100 /dev/urandom >broken_anim
shot broken "$body" --anim "$work/broken_anim"
grep -q "Xanim^7:: .*broken_anim" Log.txt || fail "the log does not name the animation that could not be read"

# The panel (at its stored place, 20,290 in an 800 x 600 window). Paused on
# frame 10: nothing moves; two steps and the root-motion switch each move
# the model; the frame text says 12. Then the walk picked in the panel's
# list plays, PAUSE stops it.
# The 3D view of each moment (where no menu covers it) is compared.
settings Folders/Cod4Path="$work/root" Menus/vis_xanim_player=1
capture() { import -window "$win" -crop 440x240+180+40 "$1.ppm"; }
step_helpers+=" capture"
drive_window steps.log '
  sleep 4
  capture still1; sleep 0.6; capture still2
  xdotool mousemove --window "$win" 352 392 sleep 0.3 click 1 sleep 0.5 click 1 sleep 1; capture stepped
  click_at 263 441 1; capture rooted
  xdotool key Escape' "$vantor" --frames 100000 --dump-layout steps.json --anim "$walk" --anim-frame 10 "$body"
(($(differ still1.ppm still2.ppm) == 0)) || fail "the model moves while the animation stands paused"
(($(differ still2.ppm stepped.ppm) > 200)) || fail "stepping does not move the model"
(($(differ stepped.ppm rooted.ppm) > 200)) || fail "the root-motion switch does not move the model"
"$python" - steps.json <<'PY' || fail "the panel's texts are not those of frame 12 of the walk"
import json, sys
menus = {m["name"]: m for m in json.load(open(sys.argv[1]))["menus"]}
texts = {i["text_name"]: i["text"] for i in menus["xanim_player"]["items"] if i["kind"] == "named_label"}
assert texts["xanim_frame"] == "Frame 12 of 79  0.40 s", texts
assert texts["xanim_name"].startswith("walk_lowready_f"), texts
PY
# The model's own pose first; then "walk" typed into the panel's search box
# (at 104,446) and the list's first row (80,319) picked: the walk plays.
drive_window play.log '
  sleep 4
  capture own
  click_at 104 446 0.3; xdotool type --delay 100 walk; sleep 1
  click_at 80 319 2; capture play1; sleep 0.6; capture play2
  click_at 305 392 1; capture paused1; sleep 0.6; capture paused2
  click_at 376 392 1; capture stopped
  xdotool key Escape' "$vantor" --frames 100000 "$body"
(($(differ play1.ppm play2.ppm) > 500)) || fail "the model does not move while the animation plays"
(($(differ paused1.ppm paused2.ppm) == 0)) || fail "the model moves after PAUSE"
# STOP puts the model's own pose back, exactly.
(($(differ stopped.ppm own.ppm) == 0)) || fail "after STOP the model does not stand in its own pose"
# The tags panel (its list at 24,62) while the walk plays: each joint's
# posed position, new every frame; a right-click menu on a joint (the third
# row) stays open through them.
settings Menus/vis_xanim_player=0 Menus/vis_xmodel_tags=1 Menus/rect_xmodel_tags=20,40,0,0
drive_window tags.log '
  sleep 4
  click_at 60 97 2 3
  xdotool key Escape' "$vantor" --frames 100000 --dump-layout tags.json --anim "$walk" "$body"
"$python" - tags.json <<'PY' || fail "the tags panel's menu closed while the walk played"
import json, sys
tags = [i for m in json.load(open(sys.argv[1]))["menus"] for i in m["items"] if i.get("name") == "Xmodel_tags"][0]
assert any(t.endswith(")") for t in tags["first_rows"]), tags["first_rows"]
assert tags["menu_open"], tags
PY
