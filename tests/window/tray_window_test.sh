# The tray in the window, against the fake desktop (tests/platform/
# fake_desktop.py) on a private session bus: its menu's "Exit" (which needs
# the item registered) quits, the other entries being tray_test.cpp's; an
# export sends one notice, which names the file written and whose "Open
# Folder" opens its folder; VIEW TAGS with no browser says so in the error
# box. With create_tray_icon off nothing goes over the bus.
needs dbus-run-session dbus-send
/usr/bin/python3 -c "import dbus, gi" 2>/dev/null || { echo "SKIP: /usr/bin/python3 lacks dbus or gi"; exit 0; }
settings Folders/export_folder="$work/out" Export/export_MA_BIND=0 Folders/Cod4Path="$work/sample/cod4"
mkdir -p desk
dbus-run-session -- /usr/bin/python3 "$window_tests/../platform/fake_desktop.py" "$work/desk" >desk.log 2>&1 &
desk=$!
for _ in $(seq 1 200); do [[ -s desk/address ]] && break; sleep 0.05; done
[[ -s desk/address ]] || { echo "FAIL: the fake desktop did not start" >&2; cat desk.log >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(cat desk/address)
control() { dbus-send --session --type=method_call --dest=org.vantor.FakeDesktop /Control "org.vantor.FakeDesktop.$1" "${@:2}"; }
step_helpers+=" control"
# The desktop's opener: folders open, a web page finds no browser.
mkdir -p bin
printf '#!/bin/sh\necho "$1" >>"%s/opened"\ncase $1 in *.html) exit 3;; esac\n' "$work" >bin/xdg-open
chmod +x bin/xdg-open
export PATH=$work/bin:$PATH

# 800 x 600: EXPORT MA at (290, 12), VIEW TAGS at (540, 12).
drive_window tray.log '
  xdotool sleep 2.5 windowfocus --sync "$win"
  click_at 290 12 1.5; control InvokeAction int32:$(tail -1 desk/buttons | cut -d" " -f1)
  click_at 540 12 1.5; control Click int32:32771
  sleep 3
  kill -0 $pid 2>/dev/null && { kill $pid; exit 1; }
  exit 0' "$vantor" "$soldier" --frames 100000 --dump-layout tray.json
grep -q "Tray Icon Created" Log.txt || fail "no 'Tray Icon Created' in the log"
grep -q "TrayIcon Removed" Log.txt || fail "no 'TrayIcon Removed' in the log"
/usr/bin/python3 - tray.json desk/notices <<'PY' || fail "the export notice or the error box is not as expected"
import json, sys
doc = json.load(open(sys.argv[1]))
notices = [l.split() for l in open(sys.argv[2])]
titles = [bytes.fromhex(n[2]).decode() for n in notices]
assert titles.count("Exported MA") == 1, titles
assert "NoBrowserToDisplayTags:" in "".join(doc["error_text"].split()), doc["error_text"]
PY
ma=$(find "$work/out" -name '*.ma' | head -1)
grep -q "$(printf %s "Exported: 'fixture_soldier' to '$ma'" | od -An -tx1 | tr -d ' \n')" desk/notices ||
  fail "the export notice does not name '$ma'"
grep -qx "$(dirname "$ma")" opened || fail "Open Folder did not open $(dirname "$ma"): $(cat opened 2>/dev/null)"
grep -q "_tags.html$" opened || fail "VIEW TAGS asked the opener for no page"

# Off: nothing registers and no notice is sent.
settings Misc/create_tray_icon=0
registrations=$(wc -l <desk/registrations)
notices=$(wc -l <desk/notices 2>/dev/null || echo 0)
drive_window off.log '
  xdotool sleep 2.5 windowfocus --sync "$win"
  click_at 290 12 1.5
  xdotool key Escape' "$vantor" "$soldier" --frames 100000
[[ $(wc -l <desk/registrations) -eq $registrations ]] || fail "an item registered with the tray off"
[[ $(wc -l <desk/notices 2>/dev/null || echo 0) -eq $notices ]] || fail "a notice went out with the tray off"

control Quit >/dev/null 2>&1 || true
wait $desk 2>/dev/null || true
