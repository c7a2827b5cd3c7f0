# The update path against a loopback server: the start-up check's "1.0"
# opens the update menu, its "Download Update" asks for the manifest on the
# downloader thread, a reply that is no manifest fetches nothing more and
# runs nothing ("Failed To Download Update"), and the exit logs "Downloader
# thread Stopped". The run ends itself (Escape would close the open dialogs
# first).
settings Folders/Cod4Path="$work/sample/cod4" Misc/auto_update=1
mkfifo keep
LOOPBACK_LOG=$work/requests.log "$python" "$window_tests/../update/loopback_server.py" 200 <keep >port.txt &
server=$!
exec 3>keep
for _ in $(seq 1 100); do [[ -s port.txt ]] && break; sleep 0.05; done
export VANTOR_UPDATE_SERVER=http://127.0.0.1:$(head -1 port.txt)/update/1.0

# 800 x 600, the update menu centred: "Download Update" at (358, 342).
if ! drive_window update.log '
  sleep 3
  xdotool windowfocus --sync "$win"
  import -window "$win" menu.png
  xdotool mousemove --window "$win" 358 342 sleep 0.3 click 1 sleep 2.5' \
    "$vantor" --frames 100000 --dump-layout update.json --command "wait 15000; exit_app;"; then
  fail "the run did not end by itself"
  cat update.log >&2
fi
grep -q "/update/1.0/php/UpdateCheck.php?id=1&version=0.987" requests.log || fail "no update check was sent"
grep -q "^/update/1.0/util/QorVantor_update.manifest$" requests.log || fail "Download Update asked for no manifest"
! grep -q "QorVantor_Updater.sh\|downloads.php" requests.log || fail "files were fetched without a manifest"
grep -q "Update manifest refused" Log.txt || fail "the reply was not refused as a manifest"
grep -q "Failed To Download Update" Log.txt || fail "no \"Failed To Download Update\""
grep -q "Downloader thread Stopped" Log.txt || fail "no \"Downloader thread Stopped\" at exit"
"$python" - update.json <<'PY' || fail "the update menu or the error box is not as expected"
import json, sys
doc = json.load(open(sys.argv[1]))
menus = {m["name"]: m for m in doc["menus"]}
assert menus["update_menu"]["visible"], "update_menu is closed"
assert menus["update_menu_cancel"]["visible"], "the Cancel button is not offered"
assert menus["error_menu"]["visible"], "the failure is not in the error box"
PY

exec 3>&-
wait $server 2>/dev/null || true
