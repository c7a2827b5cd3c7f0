#!/usr/bin/env bash
# The one driver of the window tests: tests/window/NAME.sh holds only its
# own steps. This starts from an empty work folder with its own settings
# store and the sample tree, gives the steps the helpers below (and those of
# tests/cli/cli_common.sh), and reports the failures they counted.
#
#   window_common.sh NAME VANTOR VANTOR_CLI PYTHON WORK_DIR [MORE...]
set -euo pipefail
window_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name=$1 vantor=$2 cli=$3 python=$4 work=$5
shift 5
source "$window_tests/../cli/cli_common.sh"

# needs TOOL...: skips the test when one is missing.
needs() {
  local tool
  for tool in "$@"; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }; done
}
# settings KEY=VALUE...: stored with vantor-cli before a run.
settings() {
  local pair
  for pair in "$@"; do "$cli" settings set "${pair%%=*}" "${pair#*=}" 2>/dev/null; done
}
# xvfb COMMAND...: a command in an X server of its own.
xvfb() { timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }
# drive_window LOG STEPS PROGRAM [ARGUMENTS...]: the program in its own X
# server, driven by STEPS (see drive_window.sh), which may call the functions
# named in $step_helpers; a run that fails is counted, its log shown.
step_helpers="click_at grab pick_model"
drive_window() {
  # shellcheck disable=SC2086
  timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$window_tests/drive_window.sh" "$1" \
    "$(declare -f $step_helpers)
$2" "${@:3}" || { fail "the run logged in $1 failed"; cat "$1" >&2; }
}
# differ A B: how many pixels of two pictures differ (-1: not comparable).
differ() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [[ ${n%% *} =~ ^[0-9]+$ ]] && echo "${n%% *}" || echo -1
}
# frame NAME [vantor arguments...]: the screenshot a run saves, as NAME.ppm;
# shot NAME [...]: that of the 3D view alone after 5 frames.
frame() {
  rm -f "$1.dds"
  xvfb "$vantor" --screenshot "$1.dds" "${@:2}" >"$1.log" 2>&1 ||
    { fail "vantor ${*:2} did not finish cleanly"; cat "$1.log" >&2; return 0; }
  convert "$1.dds" "$1.ppm"
}
shot() { frame "$1" --no-gui --frames 5 "${@:2}"; }
# click_at X Y WAIT [BUTTON] (inside STEPS): a click at (X, Y) of the
# window, then WAIT seconds.
click_at() { xdotool mousemove --window "$win" "$1" "$2" sleep 0.3 click "${4:-1}" sleep "$3"; }
# grab FILE (inside STEPS): what the X server shows of the window.
grab() { import -window "$win" "$1"; }
# pick_model TEXT (inside STEPS, 800 x 600): TEXT typed into the search box
# at (600, 558), then the list's first row at (560, 58) clicked.
pick_model() {
  click_at 600 558 0.3
  xdotool type --delay 100 "$1"
  xdotool key Return sleep 1
  click_at 560 58 "${2:-2}"
}

needs xvfb-run xdotool convert
cli_setup "$work"
mkdir out
"$cli" sample "$work/sample" >/dev/null
soldier=$work/sample/cod4/raw/xmodel/fixture_soldier

# shellcheck source=/dev/null
source "$window_tests/$name.sh"
cli_report "$name"
