# The window over a real game tree (../shared/samples, the first extra
# argument; skipped when it is absent): its models listed, "m16" typed into
# the search box, the first match picked; the properties panel shows the
# model by name and the tags panel its bones; "EXPORT OBJ" with the images
# exported writes the OBJ and leaves the image lines in the log panel.
samples=$1
[[ -d $samples/cod4-modtools/raw/xmodel ]] || { echo "SKIP: no $samples"; exit 0; }
settings Folders/Cod4Path="$(cd "$samples/cod4-modtools" && pwd)" Folders/export_folder="$work/out" \
  Export/export_images=1 Export/export_images_local=1

# 800 x 600: EXPORT OBJ at (378, 12).
if ! drive_window run.log '
  sleep 2
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 300 300 sleep 0.3 click 1 sleep 0.3
  pick_model m16 4
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
