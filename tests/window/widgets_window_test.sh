# The widgets in the window: the tool bar's "Wireframe" changes the
# picture; a model name copied from the list's context menu is on the
# clipboard (read back with xclip), and a click on it loads it. The text
# widths the window's fonts measured are the headless layout dump's.
# (Typing, Escape, sliders, sounds and the question box: tests/gui.)
needs import compare xclip
settings Folders/Cod4Path="$work/sample/cod4"

# 800 x 600: "Wireframe" at (710, 590), the model list's first row at
# (560, 58); its context menu's entry opens at the press.
drive_window list.log '
  sleep 2
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 400 300 sleep 0.5
  import -window "$win" solid.png
  xdotool mousemove --window "$win" 715 590 sleep 0.3 click 1 sleep 0.3
  xdotool mousemove --window "$win" 400 300 sleep 0.5
  import -window "$win" wire.png
  xdotool mousemove --window "$win" 560 58 sleep 0.3 click 3 sleep 0.5
  xdotool mousemove --window "$win" 580 65 sleep 0.3 click 1 sleep 0.5
  xclip -o -selection clipboard >clip.txt
  xdotool mousemove --window "$win" 560 58 sleep 0.3 click 1 sleep 1
  xdotool key Escape' "$vantor" "$soldier" --frames 100000 --dump-layout window.json
(($(differ solid.png wire.png) > 500)) || fail "Wireframe changed $(differ solid.png wire.png) pixels"
copied=$(cat clip.txt 2>/dev/null || true)
[[ -f $work/sample/cod4/raw/xmodel/$copied && -n $copied ]] || fail "the clipboard holds '$copied', not a model name"
grep -qF "Passing Xmodel: '$copied' to background loader" Log.txt || fail "clicking '$copied' did not load it"

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
