#!/usr/bin/env bash
# vantor-cli update check against a loopback server: the answers "1.0",
# "0.987" and "0.5", a 404, no server at all (nothing sent), and the user
# name with a space and an "&" arriving encoded.
#
#   cli_update_smoke.sh VANTOR_CLI PYTHON WORK_DIR
set -euo pipefail
cli=$1
python=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"

mkfifo keep
LOOPBACK_LOG=$work/requests.log "$python" "$here/../update/loopback_server.py" 60 <keep >port.txt &
server=$!
exec 3>keep  # the server lives while this stays open
for _ in $(seq 1 100); do [[ -s port.txt ]] && break; sleep 0.05; done
port=$(head -1 port.txt)
[[ $port =~ ^[0-9]+$ ]] || { echo "FAIL: the loopback server gave no port" >&2; exit 1; }

check() {  # check EXPECTED_STATUS EXPECTED_TEXT SERVER [FLAGS...]
  local want=$1 text=$2 url=$3 status=0
  shift 3
  VANTOR_UPDATE_SERVER=$url "$cli" update check "$@" >out.txt 2>err.txt </dev/null || status=$?
  [[ $status -eq $want ]] || fail "$url: exit $status, not $want ($(cat out.txt err.txt | head -c 300))"
  grep -q "$text" out.txt || fail "$url: '$(cat out.txt)' does not say '$text'"
}
base=http://127.0.0.1:$port
check 0 "newer version" "$base/update/1.0"
check 0 "is up to date" "$base/update/0.987"
check 0 "is up to date" "$base/update/0.5" --manual
check 1 "failed" "$base/nothing"
grep -q "QorDownloader:: Server answered HTTP 404" err.txt || fail "the 404 is not in the log: $(head -c 300 err.txt)"
check 3 "no update server" ""
before=$(wc -l <requests.log)
USER="Jo Smith&co" VANTOR_UPDATE_SERVER=$base/update/0.5 "$cli" update check >/dev/null 2>&1 </dev/null || true
grep -q "^/update/0.5/php/UpdateCheck.php?id=1&version=0.987&run_count=0&xport_total=0&name=Jo_Smith%26co$" requests.log ||
  fail "the query was: $(tail -1 requests.log)"
[[ $before -eq 3 ]] || fail "$before update requests for three answered checks"

exec 3>&-
wait $server || true
cli_report "update smoke"
