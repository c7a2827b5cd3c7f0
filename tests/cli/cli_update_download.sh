#!/usr/bin/env bash
# vantor-cli update check and download against loopback servers: what a
# check says of each answer; the update is handed over (the served script
# puts the new files in place once the program has exited) only when the
# script and the archive match the manifest; a size or SHA-256 mismatch, a
# truncated archive, a missing manifest, a hostile archive and a Ctrl-C run
# nothing and leave no files; a server without https and a folder the user
# cannot write send nothing; a killed download's stale folder goes; a
# check without libcurl fails and names it.
#
#   cli_update_download.sh VANTOR_CLI PYTHON WORK_DIR
set -euo pipefail
cli=$1 python=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
make_update=$here/../../tools/update/make_update.sh
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"
mkdir -p tmp served tree/bin tree/share/vantor
export TMPDIR=$work/tmp

echo "new program" >tree/bin/vantor
echo "new data" >tree/share/vantor/data.txt
head -c 200000 /dev/urandom >tree/share/vantor/noise.bin  # an archive the stalling server can stop inside
PATH=$(dirname "$python"):$PATH bash "$make_update" tree served >/dev/null
cp -r served good

start_server() {  # start_server NAME [ENV...]: its port in port_NAME.txt
  mkfifo "keep_$1"
  env LOOPBACK_FILES="$work/served" "${@:2}" "$python" "$here/../update/loopback_server.py" 60 <"keep_$1" >"port_$1.txt" &
  eval "exec {fd_$1}>keep_$1"
  for _ in $(seq 1 100); do [[ -s port_$1.txt ]] && break; sleep 0.05; done
  [[ $(head -1 "port_$1.txt") =~ ^[0-9]+$ ]] || { echo "FAIL: server $1 gave no port" >&2; exit 1; }
}
start_server plain
start_server stall LOOPBACK_STALL=QorVantor_update.zip
base=http://127.0.0.1:$(head -1 port_plain.txt)
# https whose certificate no authority signed: refused by the certificate check.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout tls.pem -out tls.crt 2>/dev/null
cat tls.crt >>tls.pem
start_server tls LOOPBACK_TLS_CERT="$work/tls.pem"

fresh_program() { rm -rf program; mkdir -p program/bin; echo "old program" >program/bin/vantor; }
run() {  # run EXPECTED_STATUS SERVER [FLAGS...]
  local status
  VANTOR_UPDATE_SERVER=$2 status_of "$cli" update download --dir "$work/program" "${@:3}" >out.txt 2>err.txt </dev/null
  [[ $status -eq $1 ]] || fail "exit $status, not $1: $(cat out.txt err.txt | head -c 400)"
}
untouched() {  # untouched WHAT: nothing ran and nothing was kept
  sleep 1.5  # time a wrongly started script would have had
  [[ $(cat program/bin/vantor) == "old program" ]] || fail "$1: the program was replaced"
  [[ -z $(ls tmp) ]] || fail "$1: left behind: $(ls tmp)"
}

# The whole path: handed over, and the script replaces the program once
# vantor-cli has exited.
fresh_program
run 0 "$base"
grep -q "handed over" out.txt || fail "handed over: $(cat out.txt)"
grep -q "Downloaded Update" err.txt || fail "no \"Downloaded Update\" in the log"
for _ in $(seq 1 100); do [[ $(cat program/bin/vantor) == "new program" ]] && break; sleep 0.1; done
[[ $(cat program/bin/vantor) == "new program" ]] || fail "the script did not put the new program in place"
[[ $(cat program/share/vantor/data.txt 2>/dev/null) == "new data" ]] || fail "the new data is not in place"
[[ $(stat -c %a program/share/vantor) == $(printf '%o' $((0777 & ~$(umask)))) ]] ||
  fail "a new folder came in as $(stat -c %a program/share/vantor), not as the umask has it"
for _ in $(seq 1 50); do [[ -z $(ls tmp) ]] && break; sleep 0.1; done
[[ -z $(ls tmp) ]] || fail "the script left its folder: $(ls tmp)"

# --no-handoff: checked and unpacked, nothing run. The folders a killed
# download left are removed first: this user's private ones a day old only.
fresh_program
mkdir -m 700 tmp/vantor-update-stale1 tmp/vantor-update-fresh1
mkdir -m 755 tmp/vantor-update-open01
touch -d '2 days ago' tmp/vantor-update-stale1 tmp/vantor-update-open01
run 0 "$base" --no-handoff
[[ ! -e tmp/vantor-update-stale1 && -d tmp/vantor-update-fresh1 && -d tmp/vantor-update-open01 ]] ||
  fail "stale update folders: $(ls tmp)"
unpacked=$(sed -n 's/^update: verified and unpacked in //p' out.txt)
[[ -n $unpacked && $(cat "$unpacked/bin/vantor") == "new program" ]] || fail "--no-handoff: $(cat out.txt)"
[[ $(stat -c %a "$(dirname "$unpacked")") == 700 ]] || fail "the update's folder is not private"
rm -rf tmp/*
untouched "--no-handoff"

# Every way the files can fail to match runs nothing.
manifest_line() {  # manifest_line NAME SIZE DIGEST
  sed -i "s/^$1 .*/$1 $2 $3/" served/QorVantor_update.manifest
}
zip_size=$(stat -c %s good/QorVantor_update.zip)
zip_sum=$(sha256sum good/QorVantor_update.zip | cut -d' ' -f1)
other_sum=$(echo other | sha256sum | cut -d' ' -f1)
for case in size hash truncated script_hash no_manifest hostile script_redirect; do
  rm -rf served; cp -r good served
  case $case in
    size) manifest_line QorVantor_update.zip $((zip_size + 1)) "$zip_sum" ;;
    hash) manifest_line QorVantor_update.zip "$zip_size" "$other_sum" ;;
    truncated) truncate -s $((zip_size / 2)) served/QorVantor_update.zip ;;
    script_hash) manifest_line QorVantor_Updater.sh "$(stat -c %s good/QorVantor_Updater.sh)" "$other_sum" ;;
    no_manifest) rm served/QorVantor_update.manifest ;;
    script_redirect)  # the same bytes, but over a redirect to plain http
      cp served/QorVantor_Updater.sh served/moved.sh
      echo "$base/util/moved.sh" >served/QorVantor_Updater.sh.redirect
      ;;
    hostile)
      "$python" -c 'import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z: z.writestr("bin/vantor", "evil program"); z.writestr("../escaped.txt", "evil")' \
        served/QorVantor_update.zip
      manifest_line QorVantor_update.zip "$(stat -c %s served/QorVantor_update.zip)" \
        "$(sha256sum served/QorVantor_update.zip | cut -d' ' -f1)"
      ;;
  esac
  fresh_program
  run 1 "$base"
  grep -q "Failed To Download Update" err.txt || fail "$case: no \"Failed To Download Update\": $(cat out.txt)"
  untouched "$case"
  [[ ! -e escaped.txt && ! -e tmp/escaped.txt ]] || fail "$case: a file left the update's folder"
done
rm -rf served; cp -r good served

# Ctrl-C in the middle of the archive.
fresh_program
VANTOR_UPDATE_SERVER=http://127.0.0.1:$(head -1 port_stall.txt) "$cli" update download --dir "$work/program" \
  >out.txt 2>err.txt </dev/null &
pid=$!
sleep 1.5
kill -INT $pid || fail "Ctrl-C: vantor-cli had ended already"
status_of wait $pid
[[ $status -eq 130 ]] || fail "Ctrl-C: exit $status: $(cat out.txt err.txt | head -c 300)"
untouched "Ctrl-C"

# A server whose certificate does not check out gets nothing fetched.
fresh_program
run 1 "https://127.0.0.1:$(head -1 port_tls.txt)"
grep -q "QorDownloader:: Server certificate not trusted" err.txt || fail "self-signed https: $(head -c 300 err.txt)"
untouched "self-signed https"

# update check: what each answer, a 404 and a missing libcurl print and
# exit with (what the check sends: tests/update/update_check_test.cpp).
check() {  # check EXPECTED_STATUS EXPECTED_TEXT SERVER
  local status
  VANTOR_UPDATE_SERVER=$3 status_of "$cli" update check >out.txt 2>err.txt </dev/null
  [[ $status -eq $1 ]] && grep -q "$2" out.txt || fail "update check of '$3': exit $status, $(cat out.txt)"
}
check 0 "newer version" "$base/update/1.0"
check 0 "is up to date" "$base/update/0.987"
check 1 "failed" "$base/nothing"
grep -q "QorDownloader:: Server answered HTTP 404" err.txt || fail "the 404 is not in the log: $(head -c 300 err.txt)"
check 3 "no update server" ""
VANTOR_CURL_LIBRARY=/nonexistent/libcurl.so.4 check 1 "failed" "$base/update/1.0"
grep -q "QorDownloader:: Can't load /nonexistent/libcurl.so.4" err.txt || fail "no libcurl: $(head -c 300 err.txt)"

# Nothing sent: no server, a server without https, a folder not ours.
fresh_program
run 3 ""
run 3 "http://updates.example.invalid"
grep -q "https" out.txt || fail "the plain-http refusal does not say https: $(cat out.txt)"
if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null && chmod 755 program "$work" && chmod 777 tmp &&
  as_nobody_reaches "$cli" "$work/tmp" "$work/program"; then
  status_of "${as_nobody[@]}" env VANTOR_CONFIG_DIR="$work/tmp/config" VANTOR_UPDATE_SERVER="$base" \
    "$cli" update download --dir "$work/program" >out.txt 2>err.txt </dev/null
  [[ $status -eq 3 ]] || fail "a folder not writable: exit $status: $(cat out.txt err.txt | head -c 300)"
  grep -q "package manager" err.txt || fail "a folder not writable: no word of the package manager"
  rm -rf tmp/config
fi
untouched "nothing sent"

eval "exec ${fd_plain}>&- ${fd_stall}>&- ${fd_tls}>&-"
wait || true
cli_report "update download"
