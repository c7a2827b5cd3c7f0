#!/usr/bin/env bash
# vantor-cli settings end to end: twenty `settings set` started together on
# an empty config folder keep every value; a FIFO in the store's place
# neither hangs a command nor is replaced (a store too large to read is
# pinned by the settings unit tests).
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

if ((failures)); then
  echo "settings test: $failures failure(s)" >&2
  exit 1
fi
echo "settings test: all checks passed"
