#!/usr/bin/env bash
# vantor-cli settings end to end: twenty `settings set` started together on
# an empty config folder keep every value; a store that cannot be read (a
# FIFO, a file past the size the store reads) neither hangs a command nor is
# written over by a read, and a save keeps the unread file aside.
#
#   cli_settings_smoke.sh VANTOR_CLI WORK_DIR
set -euo pipefail

cli=$1
work=$2

rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Twenty flags and small numbers, each flipped from its default by one
# process of its own.
VANTOR_CONFIG_DIR=$work/defaults "$cli" settings list 2>/dev/null >"$work/defaults.txt"
mapfile -t picks < <(grep -E ' = [01]$' "$work/defaults.txt" | head -20)
((${#picks[@]} == 20)) || fail "only ${#picks[@]} settings of value 0 or 1 to flip"

for round in 1 2 3; do
  export VANTOR_CONFIG_DIR=$work/race$round
  pids=()
  for line in "${picks[@]}"; do
    key=${line%% = *}
    value=$((1 - ${line##* = }))
    timeout 60 "$cli" settings set "$key" "$value" 2>>"$work/race$round.log" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || fail "round $round: a settings set exited $?"
  done
  "$cli" settings list 2>/dev/null >"$work/race$round.txt"
  lost=0
  for line in "${picks[@]}"; do
    key=${line%% = *}
    grep -qx "$key = $((1 - ${line##* = }))" "$work/race$round.txt" || lost=$((lost + 1))
  done
  ((lost == 0)) || fail "round $round: $lost of 20 values set at once were lost"
done

# A FIFO in the store's place: commands run on the defaults and never open
# it; a save is refused rather than replacing it.
export VANTOR_CONFIG_DIR=$work/fifo
mkdir -p "$VANTOR_CONFIG_DIR"
mkfifo "$VANTOR_CONFIG_DIR/registry.reg"
status=0
out=$(timeout 20 "$cli" settings get Misc/fps_active 2>"$work/fifo.log") || status=$?
[[ $status -eq 0 && $out == 60 ]] || fail "settings get on a FIFO store: status $status, output '$out'"
status=0
timeout 20 "$cli" settings set Misc/fps_active 45 2>>"$work/fifo.log" || status=$?
[[ $status -eq 1 ]] || fail "settings set on a FIFO store exited $status, not 1"
[[ -p $VANTOR_CONFIG_DIR/registry.reg ]] || fail "the FIFO store was replaced"

# A well-formed store past the size the store reads: a read leaves it as it
# is; a save moves it to registry.reg.damaged and writes a new store.
export VANTOR_CONFIG_DIR=$work/large
mkdir -p "$VANTOR_CONFIG_DIR"
store=$VANTOR_CONFIG_DIR/registry.reg
{
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n'
  printf '"Init_Settings"=dword:00000001\n"Version"="0.987"\n'
  printf '[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor\\Misc]\n"fps_active"=dword:0000002d\n'
  for i in $(seq 1 17); do printf ';%01048575d\n' 0; done
} >"$store"
cp "$store" "$work/large.orig"
status=0
out=$(timeout 60 "$cli" settings get Misc/fps_active 2>"$work/large.log") || status=$?
[[ $status -eq 0 && $out == 60 ]] || fail "settings get on a large store: status $status, output '$out'"
cmp -s "$store" "$work/large.orig" || fail "a settings get rewrote a store it could not read"
[[ ! -e $store.damaged ]] || fail "a settings get wrote $store.damaged"
timeout 60 "$cli" settings set Misc/fps_sleepy 20 2>>"$work/large.log" || fail "settings set on a large store exited $?"
cmp -s "$store.damaged" "$work/large.orig" || fail "the large store is not kept as registry.reg.damaged"
[[ $("$cli" settings get Misc/fps_sleepy 2>/dev/null) == 20 ]] || fail "the value set after the move is not stored"

if ((failures)); then
  echo "settings test: $failures failure(s)" >&2
  exit 1
fi
echo "settings test: all checks passed"
