#!/usr/bin/env bash
# The interface without a display: `vantor --dump-layout` (the layout laid
# out for a size, after commands, as JSON) and `vantor-cli gui` (steps on a
# clock of 60 frames a second); bad sizes and steps are refused.
#
#   headless_gui_test.sh VANTOR VANTOR_CLI PYTHON WORK_DIR
set -euo pipefail
vantor=$1
cli=$2
python=$3
work=$4
source "$(dirname "$0")/../cli/cli_common.sh"
cli_setup "$work"
unset DISPLAY WAYLAND_DISPLAY

"$vantor" --dump-layout "$work/layout.json" --size 1000x700 --command "open about_menu" --command "toggle_menu xmodel_list"
! "$vantor" --dump-layout "$work/bad.json" --size 800by600 2>/dev/null || fail "a bad --size was taken"
[[ ! -e "$work/bad.json" ]] || fail "a bad --size wrote a dump"
"$cli" gui --json --size 1024x768 run "toggle_menu Settings" ms 300 >"$work/early.json"
"$cli" gui --json --size 1024x768 run "toggle_menu Settings" ms 700 run "open error_menu" >"$work/late.json"
# Keys and characters with nothing focused: hotkeys, Escape's quit, and a
# character no hotkey slot can hold.
"$cli" gui --json key f5 type $'m\xc3\xa9' key Escape key "R SHIFT" >"$work/keys.json"
"$cli" gui key ENTER type "a" | grep -qx "  type 'a' -> hotkey at 50 ms"

# A check box clicked on the general page, text typed into the focused
# scale box and handed over when a click elsewhere ends the editing: the
# changed setting is listed (the scale's handler is not there yet: it says
# so). A right click and the wheel are taken as steps.
"$cli" gui --json run "open Settings" ms 1700 click 165 228 rclick 500 300 wheel -3 >"$work/changed.json"
"$cli" gui run "force_open Settings; force_open Settings_export" click 290 385 type 9 click 10 10 |
  grep -qx "  SetModelScale :: not available yet"
"$python" - "$work"/{layout,early,late,keys,changed}.json <<'PY'
import json, sys
d, early, late, keys_run, changed = (json.load(open(p)) for p in sys.argv[1:])
menus = {m["name"]: m for m in d["menus"]}
assert d["laid_out_size"] == [1000, 700], d["laid_out_size"]
assert [m["index"] for m in d["menus"]] == list(range(len(d["menus"]))), d["menus"]
about = menus["about_menu"]
assert about["visible"] and about["animating"] and about["kind"] == "fade", about
assert not menus["xmodel_list"]["visible"] and menus["open_xmodel_list"]["visible"]
assert menus["ToolBar"]["area"] == [460, 0, 540, 24, 1], menus["ToolBar"]["area"]
assert menus["xmodel_log"]["bound_setting"] == "Menus/vis_xmodel_log" and d["box_text_area"][4] == 48
assert menus["Settings"]["on_close"]["pieces"][-1] == " ", menus["Settings"]["on_close"]
# Each text's drawn width and glyph boxes, measured with the fonts: the
# label lies inside its button.
tool = next(i for i in menus["ToolBar"]["items"] if i.get("text") == "EXPORT MA")
(x, y, w, h), [(bx, by, bw, bh)] = tool["screen_rect"], tool["text_boxes"]
assert tool["text_width"] > 20 and x < bx and bx + bw < x + w and y <= by and by + bh <= y + h, tool

# SETTINGS slides in over 0.65 s and opens the general page 600 ms later.
def menu(d, name):
    return next(m for m in d["menus"] if m["name"] == name)
assert menu(early, "Settings")["animating"] and menu(early, "Settings")["slide"][0] > 0
assert not menu(early, "Settings_genral")["visible"]
assert menu(late, "Settings_genral")["visible"] and not menu(late, "Settings")["animating"]
drawn = {t["text"]: (t["x"], t["y"]) for t in late["drawn"]}
assert "Settings - General" in drawn and drawn["BETA 0.987"] == (5, 768 - 30), drawn
assert any(line.startswith("QorGUI::ItemScale: Done width: 1024 height: 768") for line in late["log"])
assert [s["name"] for s in late["sounds"]] == [], late["sounds"]

keys = keys_run["keys"]
got = [(k["event"], k["name"], k["code"], k["to"]) for k in keys]
assert got == [("key", "F5", 0x74, "hotkey"), ("type", "m", 0x6D, "hotkey"), ("type", "U+00E9", 0xE9, "nothing"),
               ("key", "ESCAPE", 0x1B, "exit requested"), ("key", "R shift", 0xA1, "hotkey")], got
# Each key is pressed and released a frame apart; each character a frame apart.
assert [round(k["ms"]) for k in keys] == [17, 50, 67, 83, 117], keys

s = changed["settings"]
assert s == {"Logs/log_supress_warnings": "1"}, s
PY

for bad in "ms -5" "key Wobble" "key Unknown" "key" "type" "wobble" "wheel" "wheel x" "rclick 1"; do
  # shellcheck disable=SC2086
  ! "$cli" gui $bad >/dev/null 2>&1 || fail "vantor-cli gui took '$bad'"
done
cli_report "headless gui"
