#!/usr/bin/env bash
# Pictures of the whole flow for docs/window.md, taken under Xvfb from an empty
# settings store on the sample tree: the folder entry choosing the COD 4
# root, the IWD image mover offered for it (scanned, then closed), the model
# list narrowed by the search box with the picked model loaded, and the
# model exported; then the screens one at a time: settings pages, the about
# menu, the panels, the error box of a model that fails to load and the game
# switch question; and, with the shared samples beside the project, the
# animation player.
#
#   tools/gallery.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
mkdir -p "${2:-docs}"
out=$(cd "${2:-docs}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config
cd "$work"
"$build/vantor-cli" sample "$work/sample" >/dev/null
mkdir -p out
"$build/vantor-cli" settings set Folders/export_folder "$work/out" 2>/dev/null
cod4=$work/sample/cod4
VANTOR_FOLDER_BROWSER=entry timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" \
  bash "$here/../tests/window/drive_window.sh" run.log '
  sleep 2
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 492 380 sleep 0.3 click 1 sleep 1
  xdotool mousemove --window "$win" 712 12 sleep 0.3 click 1 sleep 2.5
  xdotool mousemove --window "$win" 650 184 sleep 0.3 click 1 sleep 1
  xdotool mousemove --window "$win" 400 288 sleep 0.3 click 1 sleep 0.3
  xdotool key --delay 5 --repeat 300 BackSpace
  xdotool type --delay 20 "'"$cod4"'"
  sleep 0.5
  import -window "$win" "'"$out"'/flow-folder-entry.png"
  xdotool key Return sleep 1.5
  import -window "$win" "'"$out"'/flow-iwd-mover.png"
  xdotool mousemove --window "$win" 555 406 sleep 0.3 click 1 sleep 3
  xdotool mousemove --window "$win" 555 430 sleep 0.3 click 1 sleep 1
  xdotool mousemove --window "$win" 636 480 sleep 0.3 click 1 sleep 2
  xdotool mousemove --window "$win" 600 558 sleep 0.3 click 1 sleep 0.3
  xdotool type --delay 100 "sol"
  xdotool key Return sleep 1
  xdotool mousemove --window "$win" 560 58 sleep 0.3 click 1 sleep 2.5
  xdotool mousemove --window "$win" 290 12 sleep 0.3 click 1 sleep 0.4
  import -window "$win" "'"$out"'/flow-model-list.png"
  sleep 1
  xdotool key Escape sleep 1
  kill -0 $pid 2>/dev/null && xdotool key Escape
  true' "$build/vantor" --frames 100000

# One screen: the program run for FRAMES frames with the commands, its last
# frame as OUT/NAME.png.
shot() {
  local name=$1 frames=$2 command=$3
  shift 3
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$build/vantor" --frames "$frames" --command "$command" \
    --screenshot "$work/$name.dds" "$@" >"$work/$name.log" 2>&1 || { cat "$work/$name.log" >&2; return 1; }
  convert "$work/$name.dds" "$out/$name.png"
}
soldier=$cod4/raw/xmodel/fixture_soldier
page() {
  local others="" p
  for p in Settings_genral Settings_sounds Settings_export Settings_OpenGL Settings_hotkeys Settings_misc \
      Settings_theme Settings_shaders; do
    [[ $p == "$1" ]] || others+="force_close $p; "
  done
  echo "toggle_menu Settings; wait 1400; ${others}open $1;"
}
shot settings 200 "toggle_menu Settings;" "$soldier"
shot settings-opengl 260 "$(page Settings_OpenGL)" "$soldier"
shot settings-hotkeys 260 "$(page Settings_hotkeys)" "$soldier"
shot about 150 "open about_menu;"
"$build/vantor-cli" settings set Menus/vis_xmodel_prop 1 2>/dev/null
"$build/vantor-cli" settings set Menus/vis_xmodel_log 1 2>/dev/null
shot panels 150 "" "$soldier"
"$build/vantor-cli" settings set Menus/vis_xmodel_prop 0 2>/dev/null
# A model whose parts file is gone, and a COD 4 model in the COD 5 tree.
rm "$cod4/raw/xmodelparts/fixture_crate_lod0"
shot error-box 150 "" "$cod4/raw/xmodel/fixture_crate"
"$build/vantor-cli" settings set Folders/Cod5Path "$work/sample/cod5" 2>/dev/null
# The question waits for its answer (the frames of a --frames run count
# from the model's load on): the picture is taken while it is asked.
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" bash "$here/../tests/window/drive_window.sh" "$work/question.log" '
  sleep 3
  xdotool windowfocus --sync "$win" mousemove --window "$win" 20 300 sleep 0.5
  import -window "$win" "'"$out"'/question-box.png"
  xdotool key n sleep 1
  for _ in 1 2 3 4; do kill -0 $pid 2>/dev/null && xdotool key Escape sleep 1; done
  true' "$build/vantor" --frames 100000 --game cod5 "$work/sample/cod5/raw/xmodel/fixture_ported_crate"
# The animation player over the COD 4 character of the shared samples
# (left out without them): the run at frame 18, framed ("f"), the tags
# panel, a notetrack's name at the pointer.
samples=$here/../../shared/samples
if [[ -d $samples/cod4-xanim ]]; then
  mkdir -p anim/raw
  for d in "$samples"/cod4-modtools/raw/*; do ln -s "$d" anim/raw/; done
  ln -s "$samples/cod4-xanim/raw/xanim" anim/raw/xanim
  for pair in Folders/Cod4Path="$work/anim" Menus/vis_xanim_player=1 Menus/vis_xmodel_tags=1 Menus/vis_xmodel_log=0 \
      OpenGl/draw_bones=1; do
    "$build/vantor-cli" settings set "${pair%%=*}" "${pair#*=}" 2>/dev/null
  done
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" bash "$here/../tests/window/drive_window.sh" "$work/anim.log" '
    sleep 4
    xdotool mousemove --window "$win" 400 200 sleep 0.3 key f sleep 1.5
    xdotool mousemove --window "$win" 315 344 sleep 1
    import -window "$win" "'"$out"'/anim-player.png"
    xdotool key Escape' "$build/vantor" --frames 100000 --anim "$work/anim/raw/xanim/run_lowready_f" --anim-frame 18 \
    "$work/anim/raw/xmodel/body_complete_sp_arab_regular_al_asad_dmg"
fi
echo "gallery: pictures in $out"
