#!/usr/bin/env bash
# Run under xvfb-run: starts the program with its output in LOG, waits for
# its window, runs STEPS (bash text that sees the window as $win and the
# program as $pid; it ends the program, or exits itself) and returns the
# program's status.
#
#   drive_window.sh LOG STEPS PROGRAM [ARGUMENTS...]
set -uo pipefail
log=$1
steps=$2
shift 2
timeout 120 "$@" >"$log" 2>&1 &
pid=$!
win=$(timeout 60 xdotool search --sync --onlyvisible --name "Qor_Fen Vantor" | head -1)
if [[ -z $win ]]; then
  echo "the window did not show within 60 s" >&2
elif eval "$steps"; then
  wait $pid
  exit  # the program's status
fi
kill $pid 2>/dev/null
wait $pid
exit 1
