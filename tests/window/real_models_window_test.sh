#!/usr/bin/env bash
# The window over a real game tree (../shared/samples, skipped when it is
# absent): its models listed, "m16" typed into the search box, the first
# match picked; the properties panel shows the model by name and the tags
# panel its bones; "EXPORT OBJ" with the images exported writes the OBJ
# and leaves the image lines in the log panel.
#
#   real_models_window_test.sh VANTOR VANTOR_CLI PYTHON WORK_DIR SAMPLES_DIR
set -euo pipefail
vantor=$1
cli=$2
python=$3
work=$4
samples=$5

# shellcheck source=tests/window/window_common.sh
source "$(dirname "$0")/window_common.sh"
if [[ ! -d $samples/cod4-modtools/raw/xmodel ]]; then
  echo "SKIP: no $samples"
  exit 0
fi
window_setup "$work"
root=$(cd "$samples/cod4-modtools" && pwd)
"$cli" settings set Folders/Cod4Path "$root" 2>/dev/null
mkdir -p "$work/out"
"$cli" settings set Folders/export_folder "$work/out" 2>/dev/null
"$cli" settings set Export/export_images 1 2>/dev/null
"$cli" settings set Export/export_images_local 1 2>/dev/null

# 800 x 600: the search box at (600, 558), the model list's first row at
# (560, 58), EXPORT OBJ at (378, 12).
if ! drive_window run.log '
  sleep 2
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 300 300 sleep 0.3 click 1 sleep 0.3
  xdotool mousemove --window "$win" 600 558 sleep 0.3 click 1 sleep 0.3
  xdotool type --delay 100 "m16"
  xdotool key Return sleep 1
  xdotool mousemove --window "$win" 560 58 sleep 0.3 click 1 sleep 4
  xdotool mousemove --window "$win" 378 12 sleep 0.3 click 1 sleep 2
  xdotool key Escape' "$vantor" --frames 100000 --dump-layout real.json; then
  fail "the run did not end on Escape"
  cat run.log >&2
fi
"$python" - real.json Log.txt <<'PY' || fail "the panels do not show the picked real model"
import json, sys
doc = json.load(open(sys.argv[1]))
log = open(sys.argv[2], errors="replace").read()
items = {i.get("name"): i for m in doc["menus"] for i in m["items"] if i.get("name")}
models = items["xmodels"]
assert models["rows"] == 2 and sorted(models["first_rows"]) == ["viewmodel_m16", "weapon_m16_mp"], models
picked = models["first_rows"][0]
assert "Passing Xmodel: '%s' to background loader" % picked in log
assert "Loaded Xmodel^7: %s" % picked in log, "not loaded"
props = items["Xmodel_properties"]
assert props["rows"] > 5 and any(picked in t for t in props["first_rows"]), props
tags = items["Xmodel_tags"]
assert tags["rows"] > 1 and tags["first_rows"][0].startswith("Tags: "), tags
assert [i for m in doc["menus"] for i in m["items"] if i["kind"] == "text_list"][0]["lines"] > 0
PY
[[ $(find "$work/out" -name '*.obj' | wc -l) -eq 1 ]] || fail "EXPORT OBJ wrote no OBJ"
if ((failures > 0)); then
  echo "real models window test: $failures failures" >&2
  exit 1
fi
echo "real models window test: ok"
