#!/usr/bin/env bash
# The window's figures under Xvfb with Mesa (software GL):
#   start-up   time from start to the first frame showing the sample model
#              (the whole run of `vantor --frames 1`: start, load, first
#              frame, shutdown)
#   fps        frames a second drawing the 64 x 32,000-vertex model uncapped
#   2D pass    the time a frame takes with the interface and without it
#              (--no-gui), uncapped, on the big model and on an empty scene
#   idle CPU   the program's CPU use over about 10 s at the caps, grid only,
#              unfocused
#
#   bench/window_bench.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build-release}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config
cd "$work"
"$build/vantor-cli" sample "$work/sample" >/dev/null
"$build/vantor-cli" settings set Export/export_scale_new 1.0 2>/dev/null
big=$("$build/bench/vantor_big_model" "$work/big")
run() { xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }

start=$(date +%s.%N)
run "$build/vantor" --frames 1 --screenshot first.dds "$work/sample/cod4/raw/xmodel/fixture_soldier" >/dev/null 2>&1
end=$(date +%s.%N)
echo "start-up to first model frame (whole run): $(echo "$end - $start" | bc) s"

# Frames a second: the difference between a long and a short run, so the
# start-up and the load cancel out.
# timed FRAMES [ARGS...]
timed() {
  local frames=$1
  shift
  run bash -c 's=$(date +%s.%N); "$1" --uncapped --frames "$2" --screenshot t.dds "${@:3}" >/dev/null 2>&1
               e=$(date +%s.%N); echo "$e - $s" | bc' _ "$build/vantor" "$frames" "$@"
}
# ms a frame over 100 frames, [ARGS...] as for timed.
per_frame() { echo "scale=2; 1000 * ($(timed 110 "$@") - $(timed 10 "$@")) / 100" | bc; }
big_gui=$(per_frame "$big")
big_bare=$(per_frame --no-gui "$big")
empty_gui=$(per_frame)
empty_bare=$(per_frame --no-gui)
echo "uncapped, the 64 x 32,000-vertex model: $(echo "scale=1; 1000 / $big_gui" | bc) frames a second"
echo "a frame, big model: $big_gui ms with the interface, $big_bare ms without"
echo "a frame, empty scene: $empty_gui ms with the interface, $empty_bare ms without"

# Unfocused: a second window started a moment later takes the focus (there
# is no window manager); only the first one's CPU time is counted.
run bash -c '
  /usr/bin/time -f "%U %S %e" -o cpu "$1" --frames 300 --screenshot idle.dds >/dev/null 2>&1 &
  a=$!
  sleep 0.7
  "$1" --frames 100000 --screenshot other.dds >/dev/null 2>&1 &
  b=$!
  wait $a
  kill $b
  wait $b 2>/dev/null || true' _ "$build/vantor"
read -r user sys wall <cpu
echo "idle at the caps, grid only, unfocused: $(echo "scale=1; 100 * ($user + $sys) / $wall" | bc) % of one core over $wall s"
