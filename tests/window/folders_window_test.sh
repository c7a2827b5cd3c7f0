# The working application from an empty settings store: the COD 4 root
# typed into the in-window folder entry as it opens (it has the keyboard: no
# click) lists its models and offers the IWD image mover, whose "Scan"
# copies the archives' images into raw/images; three letters in the search
# box narrow the list, a picked model loads, "EXPORT MA" writes its scene,
# F2 its screenshot, "Save" stores the root. (The entry's keys:
# tests/gui/keyboard_test.cpp; the desktops' folder dialogs:
# tests/platform/folder_browser_test.cpp.)
needs import
settings Folders/export_folder="$work/out" Export/export_MA_BIND=0
cod4=$work/sample/cod4

# 800 x 600, the dialogs centred: the message box's Close at (492, 380),
# SETTINGS at (712, 12), the COD 4 browse button at (650, 184), the mover's
# Scan at (555, 406) and Cancel, which closes it on the scan's result, at
# (555, 430), Save at (636, 480).
VANTOR_FOLDER_BROWSER=entry drive_window entry.log '
  xdotool sleep 2 windowfocus --sync "$win"
  click_at 492 380 1; click_at 712 12 2.5; click_at 650 184 1
  xdotool key --delay 5 --repeat 300 BackSpace
  xdotool type --delay 20 "'"$cod4"'"
  xdotool key Return sleep 1.5
  click_at 555 406 3; click_at 555 430 1; click_at 636 480 2
  pick_model sol
  click_at 290 12 2
  xdotool mousemove --window "$win" 400 300 sleep 0.3 key F2 sleep 1
  xdotool key Escape' "$vantor" --frames 100000 --dump-layout entry.json
stored=$("$cli" settings get Folders/Cod4Path 2>/dev/null || true)
[[ $stored == "$cod4" ]] || fail "the stored COD 4 root is '$stored'"
grep -q "ImageCheck:: 'raw/images' looks incomplete" Log.txt || fail "the new root's images were not checked"
images=$(cd "$cod4/main" && for a in *.iwd; do unzip -Z1 "$a"; done | grep '\.iwi$')
missing=$(cd "$cod4/raw" && for image in $images; do [[ -f $image ]] || echo "$image"; done)
[[ -n $images && -z $missing ]] || fail "Scan left the archives' images uncopied: $missing"
grep -q "Loaded Xmodel^7: fixture_soldier" Log.txt || fail "the picked model did not load"
[[ $(find "$work/out" -name '*.ma' | wc -l) -eq 1 ]] || fail "EXPORT MA wrote no scene"
[[ -s QorVantor_screenshot.dds ]] || fail "F2 wrote no screenshot"
grep -q "Screen Shot saved: 'QorVantor_screenshot.dds" Log.txt || fail "no screenshot log line"
# The tool bar's bar filled with the export and had faded by the end.
"$python" - entry.json <<'PY' || fail "the tool bar's progress bar did not fill and fade"
import json, re, sys
doc = json.load(open(sys.argv[1]))
bar = [i for m in doc["menus"] for i in m["items"] if i.get("progress_name") == "progress_bar"][0]
assert bar["full"] and bar["faded"] and bar["fill_width"] > 0, bar
# The mover's panel kept the scan's result until it was closed.
result = [i for m in doc["menus"] for i in m["items"] if i.get("text_name") == "iwd_result_text"][0]
assert re.fullmatch(r"[1-9]\d* moved, \d+ skipped, 0 failed", result["text"]), result
PY

! grep -q "Missing Material\|LoadDSS" Log.txt || fail "the start-up log names a missing material or a failed picture"
