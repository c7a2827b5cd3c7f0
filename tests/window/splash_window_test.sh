# The splash: it shows before the main window with its picture, stays up
# at least a second, clicks on it do nothing, and when it goes the main
# window has the keyboard focus.
needs import
cat >steps.sh <<'STEPS'
"$1" --frames 100000 >run.log 2>&1 &
pid=$!
splash=
for _ in $(seq 1 500); do
  splash=$(xdotool search --onlyvisible --name "Vantor - starting" 2>/dev/null | head -1)
  [[ -n $splash ]] && break
  sleep 0.01
done
[[ -n $splash ]] || { echo "no splash" >splash.txt; kill $pid; exit 0; }
xdotool search --onlyvisible --name "Qor_Fen Vantor" >main_during.txt 2>/dev/null || true
xdotool mousemove --window "$splash" 200 100 click 1 click 3
sleep 0.3
import -window "$splash" splash.png
while xdotool search --onlyvisible --name "Vantor - starting" >/dev/null 2>&1; do sleep 0.02; done
sleep 0.5
xdotool getwindowfocus getwindowname >focus.txt 2>&1 || true
# A box open at the start (no game root set) takes the first Escape.
xdotool key Escape
sleep 0.5
kill -0 $pid 2>/dev/null && xdotool key Escape
wait $pid
STEPS
xvfb bash steps.sh "$vantor" || fail "the run failed"
[[ ! -f splash.txt ]] || fail "no splash window showed"
[[ ! -s main_during.txt ]] || fail "the main window showed while the splash was up"
# The picture: the splash is not one flat colour.
colours=$(convert splash.png -format %k info: 2>/dev/null || echo 0)
((colours > 20)) || fail "the splash shows $colours colours, not its picture"
lived=$(sed -n 's/^Splash closed after \([0-9]*\) ms$/\1/p' Log.txt | head -1)
[[ -n $lived ]] && ((lived >= 1000)) || fail "the splash lived '$lived' ms, not a second"
grep -q "^Qor_Fen Vantor" focus.txt || fail "after the splash the focus is on '$(cat focus.txt)'"
