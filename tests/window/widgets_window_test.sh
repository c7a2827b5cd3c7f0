# The widgets in the window, with OpenAL Soft's wave-file output recording
# what played: "Wireframe" on the tool bar changes the picture and sounds; a
# name copied from the model list's context menu is on the clipboard (read
# with xclip), and a click on it loads it; the window's text widths are the
# headless dump's; the game switch question is asked in the window's box.
# (Keys, sliders, what a button plays, what an answer does: tests/gui, model.)
needs import compare xclip
settings Folders/Cod4Path="$work/sample/cod4"
printf '[general]\ndrivers=wave\nsample-type=int16\n[wave]\nfile=%s\n' "$work/sounds.wav" >"$work/alsoft.conf"
export ALSOFT_CONF=$work/alsoft.conf ALSOFT_DRIVERS=wave  # the variable wins over the file's "drivers"

# 800 x 600: "Wireframe" at (710, 590), the model list's first row at
# (560, 58); its context menu's entry opens at the press.
drive_window list.log '
  xdotool sleep 2 windowfocus --sync "$win" mousemove --window "$win" 400 300 sleep 0.5; grab solid.png
  click_at 715 590 0.3
  xdotool mousemove --window "$win" 400 300 sleep 0.5; grab wire.png
  click_at 560 58 0.5 3; click_at 580 65 0.5
  xclip -o -selection clipboard >clip.txt
  click_at 560 58 1
  xdotool key Escape' "$vantor" "$soldier" --frames 100000 --dump-layout window.json
(($(differ solid.png wire.png) > 500)) || fail "Wireframe changed $(differ solid.png wire.png) pixels"
copied=$(cat clip.txt 2>/dev/null || true)
[[ -f $work/sample/cod4/raw/xmodel/$copied && -n $copied ]] || fail "the clipboard holds '$copied', not a model name"
grep -qF "Passing Xmodel: '$copied' to background loader" Log.txt || fail "clicking '$copied' did not load it"
# The worker's rows reached the properties and tags panels.
"$python" - window.json <<'PY' || fail "the panels do not show the loaded model's rows"
import json, sys
items = {i.get("name"): i for m in json.load(open(sys.argv[1]))["menus"] for i in m["items"] if i.get("name")}
props, tags = items["Xmodel_properties"], items["Xmodel_tags"]
assert props["rows"] > 5 and props["first_rows"][0].startswith("Name: "), props
assert tags["rows"] > 1 and tags["first_rows"][0].startswith("Tags: "), tags
PY
# The 16-bit samples after the "data" chunk's header: the clicks' sound,
# above the noise floor.
"$python" - sounds.wav <<'PY' || fail "the recording holds no sound"
import array, sys
data = open(sys.argv[1], "rb").read()
body = data[data.find(b"data") + 8:]
assert sum(abs(s) > 500 for s in array.array("h", body[:len(body) // 2 * 2])) > 2000
PY

# Every fixed text as wide in the layout dumped without a display as in
# the one the window's fonts measured.
"$vantor" --dump-layout headless.json || fail "the headless layout dump failed"
"$python" - window.json headless.json <<'PY' || fail "the headless text widths differ from the window's"
import json, sys
def widths(path):
    kinds = {"label", "colour_label", "sized_label", "picture_button", "text_button", "check_box"}
    return {(m["name"], n, i["kind"]): i["text_width"] for m in json.load(open(path))["menus"]
            for n, i in enumerate(m["items"]) if i["kind"] in kinds and "text_width" in i}
window, headless = widths(sys.argv[1]), widths(sys.argv[2])
# (The window adds its folder entry after the layout; the dump has none.)
both = window.keys() & headless.keys()
assert len(both) > 100 and headless.keys() <= window.keys(), (len(both), headless.keys() - window.keys())
bad = {k: (window[k], headless[k]) for k in both if abs(window[k] - headless[k]) > 0.01}
assert not bad, bad
PY

# The COD 4 crate in the COD 5 tree, picked from the list filtered to it
# ("ported"): the worker's question shows in the window's box, and "y"
# answers it there, so the crate loads.
settings Folders/Cod5Path="$work/sample/cod5" Misc/active_game=1
drive_window crate.log '
  xdotool sleep 2 windowfocus --sync "$win"
  pick_model ported
  xdotool key y sleep 2
  xdotool key Escape sleep 1
  if kill -0 $pid 2>/dev/null; then xdotool key Escape; fi' "$vantor" --frames 100000
grep -q "Loaded Xmodel^7: fixture_ported_crate" Log.txt || fail "answered yes in the box, the crate did not load"
