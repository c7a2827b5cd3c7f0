# The widgets in the window, with OpenAL Soft's wave-file output recording
# what played: "EXPORT MA" clicked with the sample model loaded writes the
# scene and plays its sounds; text typed into the search box fires no hotkey
# (its "m" and "o" export nothing); Escape first ends the typing, then
# quits. The volume slider dragged past its end and saved stores its
# maximum. The tool bar's "Wireframe" changes the picture; a model name
# copied from the list's context menu is on the clipboard (read back with
# xclip), and a click on it loads it. The game switch question is asked in
# the window's question box.
needs import compare xclip
settings Folders/Cod4Path="$work/sample/cod4" Folders/export_folder="$work/out" Export/export_MA_BIND=0
printf '[general]\ndrivers=wave\nsample-type=int16\n[wave]\nfile=%s\n' "$work/sounds.wav" >"$work/alsoft.conf"
export ALSOFT_CONF=$work/alsoft.conf

# 800 x 600: the tool bar sits 160 pixels right of its design place, the
# search box at (572, 550).
if ! drive_window run.log '
  sleep 2
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 290 12 sleep 0.3 click 1 sleep 2
  xdotool mousemove --window "$win" 600 558 sleep 0.3 click 1 sleep 0.3
  xdotool type --delay 100 "sol"
  sleep 1
  xdotool key Escape sleep 0.5
  kill -0 $pid || exit 1
  xdotool key Escape' "$vantor" "$soldier" --frames 100000 --dump-layout typed.json; then
  fail "the run did not end on the second Escape"
  cat run.log >&2
fi

# 800 x 600: "Wireframe" at (710, 590), the model list's first row at
# (560, 58); its context menu's entry opens at the press.
if ! drive_window list.log '
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
  xdotool key Escape' "$vantor" "$soldier" --frames 100000; then
  fail "the list run did not end on Escape"
  cat list.log >&2
fi
differ=$(compare -metric AE solid.png wire.png null: 2>&1 || true)
[[ ${differ%% *} =~ ^[0-9]+$ ]] && ((${differ%% *} > 500)) || fail "Wireframe changed $differ pixels"
copied=$(cat clip.txt 2>/dev/null || true)
[[ -f $work/sample/cod4/raw/xmodel/$copied && -n $copied ]] || fail "the clipboard holds '$copied', not a model name"
grep -qF "Passing Xmodel: '$copied' to background loader" Log.txt || fail "clicking '$copied' did not load it"

# SETTINGS, the SOUNDS tab, the volume knob dragged far past the slider's
# right end, "Save": the stored level is exactly the slider's maximum.
printf '[general]\ndrivers=wave\nsample-type=int16\n[wave]\nfile=%s\n' "$work/volume.wav" >"$work/volume.conf"
if ! ALSOFT_CONF=$work/volume.conf drive_window volume.log '
  sleep 1
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 710 12 sleep 0.3 click 1 sleep 2.5
  xdotool mousemove --window "$win" 225 130 sleep 0.3 click 1 sleep 1.5
  xdotool mousemove --window "$win" 500 208 sleep 0.3 mousedown 1 sleep 0.2
  for i in 1 2 3 4 5 6 7 8; do xdotool mousemove_relative -- 40 0; sleep 0.05; done
  xdotool mouseup 1 sleep 0.3
  xdotool mousemove --window "$win" 635 480 sleep 0.3 click 1 sleep 1
  xdotool key Escape' "$vantor" --frames 100000; then
  fail "the volume run did not end on Escape"
  cat volume.log >&2
fi
level=$("$cli" settings get Sound/sound_level 2>/dev/null || true)
[[ $level == 1 ]] || fail "the saved volume is '$level', not 1"

# The game switch question, asked in the window: the COD 4 crate in the
# COD 5 tree, picked from the list filtered to it ("ported": the list is
# sorted, and the COD 5 tree's own crate comes first). "y" answers yes and the
# crate loads and is drawn; "No" (clicked) leaves it unloaded, the log
# saying why. A box still open at the end takes the first Escape.
settings Folders/Cod5Path="$work/sample/cod5" Misc/active_game=1
for answer in yes no; do
  reply='xdotool key y'
  [[ $answer == no ]] && reply='xdotool mousemove --window "$win" 537 370 sleep 0.3 click 1'
  logged=$(wc -l <Log.txt)
  if ! drive_window crate_$answer.log '
    sleep 2
    xdotool windowfocus --sync "$win"
    pick_model ported
    xdotool mousemove --window "$win" 20 300 sleep 0.5
    import -window "$win" asked_'$answer'.png
    '"$reply"' sleep 2
    xdotool mousemove --window "$win" 20 300 sleep 0.5
    import -window "$win" crate_'$answer'.png
    xdotool key Escape sleep 1
    if kill -0 $pid 2>/dev/null; then xdotool key Escape; fi' "$vantor" --frames 100000 --dump-layout crate_$answer.json; then
    fail "the crate run ($answer) did not end on Escape"
    cat crate_$answer.log >&2
  fi
  tail -n +$((logged + 1)) Log.txt >crate_$answer.txt
done
grep -q "Loaded Xmodel^7: fixture_ported_crate" crate_yes.txt || fail "answered yes, the crate did not load"
grep -q "LoadxmodelFull^7:: .*File Not Found" crate_no.txt || fail "answered no, the log does not say the file was not found"
grep -q "Loaded Xmodel" crate_no.txt && fail "answered no, a model loaded"
# The box wraps its text to its width: the file name, lines joined again.
boxed=$(grep -o '"error_text": "[^"]*"' crate_no.json | sed 's/\\n//g')
[[ $boxed == *"File Not Found:raw/xmodelparts/"*"_crate_lod0"* ]] ||
  fail "answered no, the error box does not name the missing file: $boxed"
for pair in "asked_yes crate_no" "crate_yes crate_no"; do
  read -r a b <<<"$pair"
  differ=$(compare -metric AE $a.png $b.png null: 2>&1 || true)
  [[ ${differ%% *} =~ ^[0-9]+$ ]] && ((${differ%% *} > 2000)) || fail "$a and $b differ in $differ pixels: no question box, or no crate"
done

mas=$(find "$work/out" -name '*.ma' | wc -l)
objs=$(find "$work/out" -name '*.obj' | wc -l)
((mas == 1)) || fail "EXPORT MA wrote $mas scenes"
((objs == 0)) || fail "typing into the search box exported an OBJ"
[[ $(grep -c "\^2Exported MA\^7" Log.txt) == 1 ]] || fail "not one export line in the log"
# The typed text reached the box and narrowed the model list; "s" and "o"
# are hotkeys (the settings window, the OBJ export) and fired neither.
"$python" - typed.json <<'PY' || fail "the search box did not take \"sol\" or a hotkey fired"
import json, sys
doc = json.load(open(sys.argv[1]))
items = [(m["name"], i) for m in doc["menus"] for i in m["items"]]
box = [i for n, i in items if i.get("name") == "xmodel_search"][0]
lst = [i for n, i in items if i.get("name") == "xmodels"][0]
settings = [m for m in doc["menus"] if m["name"] == "Settings"][0]
assert box["text"] == "sol", box["text"]
assert lst["rows"] == 1 and lst["first_rows"] == ["fixture_soldier"], lst
assert not settings["visible"]
PY
# The headless measure is the window's: every fixed text as wide in the
# layout dumped without a display as in the one the window's fonts measured.
"$vantor" --dump-layout headless.json || fail "the headless layout dump failed"
"$python" - typed.json headless.json <<'PY' || fail "the headless text widths differ from the window's"
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
"$python" - "$work/sounds.wav" <<'PY' || fail "the recording holds no sound"
import array, struct, sys
# OpenAL Soft writes WAVE_FORMAT_EXTENSIBLE, which Python's wave module
# refuses: walk the chunks; the samples are 16-bit (sample-type=int16).
data = open(sys.argv[1], "rb").read()
at, rate, channels, samples = 12, 0, 0, None
while at + 8 <= len(data):
    tag, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
    if tag == b"fmt ":
        channels, rate = struct.unpack("<HI", data[at + 10:at + 16])
    if tag == b"data":
        body = data[at + 8:at + 8 + size]
        samples = array.array("h", body[:len(body) // 2 * 2])
    at += 8 + size + (size & 1)
assert samples is not None and rate > 0, (rate, channels)
# The accept click and the export chime: well over a tenth of a second of
# sound above the noise floor.
loud = sum(1 for s in samples if abs(s) > 500)
assert loud > rate * channels // 10, loud
PY

