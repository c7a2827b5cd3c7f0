#!/usr/bin/env bash
# `vantor --dump-layout` without a display: the layout laid out for a size,
# after commands, as JSON; a bad size is refused.
#
#   dump_layout_test.sh VANTOR PYTHON WORK_DIR
set -euo pipefail
vantor=$1
python=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
export VANTOR_CONFIG_DIR=$work/config
unset DISPLAY WAYLAND_DISPLAY

"$vantor" --dump-layout "$work/layout.json" --size 1000x700 --command "open about_menu" --command "toggle_menu xmodel_list"
"$python" - "$work/layout.json" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
menus = {m["name"]: m for m in d["menus"]}
assert d["laid_out_size"] == [1000, 700], d["laid_out_size"]
assert len(d["menus"]) == 37 and d["menus"][0]["name"] == "bug_fixer" and d["menus"][-1]["name"] == "msg_box_menu"
assert [m["index"] for m in d["menus"]] == list(range(37))
assert len(d["materials"]) == 68 and len(d["sounds"]) == 5
about = menus["about_menu"]
assert about["visible"] and about["animating"] and about["kind"] == "fade", about
assert not menus["xmodel_list"]["visible"] and menus["open_xmodel_list"]["visible"]
assert menus["ToolBar"]["area"] == [460, 0, 540, 24, 1], menus["ToolBar"]["area"]
assert menus["xmodel_log"]["kind"] == "framed" and menus["xmodel_log"]["bound_setting"] == "Menus/vis_xmodel_log"
pieces = menus["Settings"]["on_close"]["pieces"]
assert len(pieces) == 9 and pieces[-1] == " ", pieces
assert d["box_text_area"] == [460, 330, 150, 180, 48], d["box_text_area"]
PY

if "$vantor" --dump-layout "$work/bad.json" --size 800by600 2>/dev/null; then
  echo "FAIL: a bad --size was taken" >&2
  exit 1
fi
[[ ! -e "$work/bad.json" ]]
echo "dump_layout: ok"
