# The window's interface: the tool bar, the model list's title, the FPS and
# version texts drawn over the 3D view, which is drawn the same as without
# the interface where nothing covers it (the 2D pass leaves no GL state
# behind); a framed panel dragged by its title bar reaches the settings
# store at exit; a window resize re-anchors the layout; a window left alone
# (whose unchanged passes keep the picture on screen) still shows what
# changes without input, and draws again when uncovered. The window's place
# survives runs without drifting. The update menu's download reaches the
# updater.
needs import compare
settings Folders/Cod4Path="$work/sample/cod4"
# Still frames of the sample model with and without the interface, as PPM.
frame still --frames 30 "$soldier"
frame bare --no-gui --frames 30 "$soldier"
# Red pixels in a box, and pixels off the background colour in another.
"$python" - still.ppm bare.ppm >still.txt <<'PY'
import sys
parts = open(sys.argv[1], 'rb').read().split(maxsplit=4)
w, h, px = int(parts[1]), int(parts[2]), parts[4]
def pixels(x0, y0, x1, y1):
    return [px[3 * (y * w + x):3 * (y * w + x) + 3] for y in range(y0, y1) for x in range(x0, x1)]
def red(*box):
    return sum(r > 150 and g < 80 and b < 80 for r, g, b in pixels(*box))
def lit(*box):
    return sum(max(p) > 25 for p in pixels(*box))
# The model's middle, which no menu covers, against the run without them.
bare = open(sys.argv[2], 'rb').read().split(maxsplit=4)[4]
same = all(px[3 * (y * w + 150):3 * (y * w + 450)] == bare[3 * (y * w + 150):3 * (y * w + 450)] for y in range(100, 400))
print(w, h, red(5, h - 48, 160, h - 25), red(600, 28, 760, 50), lit(250, 0, 800, 22), lit(40, 2, 110, 22), int(same))
PY
read -r w h version_red title_red toolbar_lit fps_lit same_3d <still.txt
((same_3d == 1)) || fail "the 3D view differs with the interface drawn over it"
((version_red > 30)) || fail "the version text is not drawn ($version_red red pixels)"
((title_red > 20)) || fail "the model list's title is not drawn ($title_red red pixels)"
((toolbar_lit > 2000)) || fail "the tool bar is not drawn ($toolbar_lit lit pixels)"
((fps_lit > 40)) || fail "the FPS text is not drawn ($fps_lit lit pixels)"

# Drag the log panel by its title bar, then resize the window; the panel's
# stored origin and the re-anchoring show after exit.
settings Menus/vis_xmodel_log=1
drive_window drag.log '
  sleep 1
  xdotool mousemove --window "$win" 60 332 sleep 0.2 mousedown 1 sleep 0.2
  for i in 1 2 3 4 5 6 7 8 9 10; do xdotool mousemove_relative -- 10 5; sleep 0.05; done
  xdotool sleep 0.2 mouseup 1 sleep 0.2 windowsize "$win" 1000 700' "$vantor" --frames 300
stored=$("$cli" settings get Menus/rect_xmodel_log 2>/dev/null || true)
[[ $stored == "120,370,0,0" ]] || fail "the dragged panel is stored at '$stored', not 120,370,0,0"
grep -q "QorGUI::ItemScale: Done width: 1000 height: 700" Log.txt || fail "the resize was not re-anchored"

# Left alone: a command list waits 1.5 s, then opens the about menu (a
# fade). What the X server shows then, and after the window was unmapped
# and mapped again (its contents lost), is the frame of a run that opened
# the menu at once. The FPS text and the pointer's corner are left out.
frame opened --frames 120 --command "open about_menu;"
drive_window alone.log '
  sleep 4; grab alone.png
  xdotool windowunmap --sync "$win" windowmap --sync "$win" sleep 0.3; grab exposed.png
  kill $pid; wait $pid; exit 0' "$vantor" --frames 100000 --command "wait 1500; open about_menu;"
for grab in alone exposed; do
  for f in opened.ppm $grab.png; do convert $f -fill black -draw "rectangle 0,0 119,35" m_${f%.*}.png; done
  [[ $(differ m_opened.png m_$grab.png) == 0 ]] || fail "the window's picture ($grab) is not the opened menu's"
done

# The window's place: restored and stored the same from run to run, and a
# place off the screen (another monitor set-up) brought back into view.
settings Menus/rect_main_window=123,77,820,610
for run in 1 2; do xvfb "$vantor" --frames 3 >place.log 2>&1 || fail "place run $run failed"; done
placed=$("$cli" settings get Menus/rect_main_window 2>/dev/null || true)
[[ $placed == "123,77,820,610" ]] || fail "the window's place drifted to $placed"
settings Menus/rect_main_window=5000,4000,800,600
xvfb "$vantor" --frames 3 --command "download_update;" >place.log 2>&1 || fail "off-screen place run failed"
grep -q "Update download: no update server is set" Log.txt || fail "download_update started no download"
IFS=, read -r px py _ _ <<<"$("$cli" settings get Menus/rect_main_window 2>/dev/null || echo "x,x,x,x")"
[[ $px =~ ^[0-9]+$ && $py =~ ^[0-9]+$ ]] && ((px <= 924 && py <= 708)) || fail "an off-screen place stayed off the screen: $px,$py"

