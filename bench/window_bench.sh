#!/usr/bin/env bash
# The window's figures under Xvfb with Mesa (software GL), each the median
# and the spread (min-max) of RUNS runs (default 5):
#   start-up   time from start to the first frame showing the sample model
#              (the whole run of `vantor --frames 1`: start, load, first
#              frame, shutdown)
#   fps        frames a second drawing the 64 x 32,000-vertex model uncapped
#   2D pass    the time a frame takes with the interface and without it
#              (--no-gui), uncapped, on the big model and on an empty scene:
#              wall time, and CPU time (user + system, Mesa's rasteriser
#              threads included) on the empty scene
#   toolkit    the interface's own logic a frame without GL
#              (vantor_gui_bench: the layout drawn through the null drawer)
#   idle CPU   the program's CPU use over about 10 s at the caps, grid only,
#              unfocused, start-up included: as it runs (passes where nothing
#              changed keep the picture) and with --every-pass (every pass
#              drawn); and over 10 s once the big model is loaded and still,
#              focused and unfocused
#
#   bench/window_bench.sh BUILD_DIR [RUNS]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
window_bench_setup "${1:-}" "${2:-}"
"$build/vantor-cli" sample "$work/sample" >/dev/null
big=$("$build/bench/vantor_big_model" "$work/big")
run() { xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }


for ((i = 0; i < runs; ++i)); do
  start=$(date +%s.%N)
  run "$build/vantor" --no-splash --frames 1 --screenshot first.dds "$work/sample/cod4/raw/xmodel/fixture_soldier" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
done | stats "%.2f" | sed 's/^/start-up to first model frame (whole run), s: /'

# One uncapped run of FRAMES frames: "wall cpu" in seconds.
# timed FRAMES [ARGS...]
timed() {
  local frames=$1
  shift
  run /usr/bin/time -f "%e %U %S" -o t.time "$build/vantor" --no-splash --uncapped --frames "$frames" --screenshot t.dds "$@" \
    >/dev/null 2>&1
  awk '{ print $1, $2 + $3 }' t.time
}
# ms a frame over N frames, the difference of a run of N + 10 frames and
# one of 10 so that start-up and load cancel out: "wall cpu".
# per_frame N [ARGS...]
per_frame() {
  local n=$1 long short
  shift
  long=$(timed $((n + 10)) "$@")
  short=$(timed 10 "$@")
  echo "$long $short" | awk -v n="$n" '{ printf "%.3f %.3f\n", 1000 * ($1 - $3) / n, 1000 * ($2 - $4) / n }'
}
# figure NAME N [ARGS...]: RUNS per-frame measures, wall and CPU.
figure() {
  local name=$1 n=$2
  shift 2
  for ((i = 0; i < runs; ++i)); do per_frame "$n" "$@"; done >runs.txt
  echo "$name: wall $(cut -d' ' -f1 runs.txt | stats) ms, CPU $(cut -d' ' -f2 runs.txt | stats) ms"
}
figure "a frame, big model, with the interface" 100 "$big"
figure "a frame, big model, without it" 100 --no-gui "$big"
figure "a frame, empty scene, with the interface" 1000
figure "a frame, empty scene, without it" 1000 --no-gui

echo "toolkit alone a frame (no GL):"
"$build/bench/vantor_gui_bench" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E "_(median|stddev) "

# Unfocused: a second window started a moment later takes the focus (there
# is no window manager); only the first one's CPU time is counted.
# idle [ARGS...]: one run, CPU as % of one core.
idle() {
  run bash -c '
    /usr/bin/time -f "%U %S %e" -o cpu "$1" --frames 300 --screenshot idle.dds "${@:2}" >/dev/null 2>&1 &
    a=$!
    sleep 0.7
    "$1" --frames 100000 --screenshot other.dds >/dev/null 2>&1 &
    b=$!
    wait $a
    kill $b
    wait $b 2>/dev/null || true' _ "$build/vantor" --no-splash "$@"
  awk '{ printf "%.2f\n", 100 * ($1 + $2) / $3 }' cpu
}
for ((i = 0; i < runs; ++i)); do idle; done | stats "%.1f" |
  sed 's/^/idle at the caps, grid only, unfocused, % of one core: /'
for ((i = 0; i < runs; ++i)); do idle --every-pass; done | stats "%.1f" |
  sed 's/^/the same, every pass drawn (--every-pass), % of one core: /'

# The big model still on screen, once started and loaded: the program's CPU
# over 10 s after 8 s of start-up, read from /proc. Focused: the window
# alone; unfocused: a second window started after it has the focus.
# steady [unfocused]: one run, CPU as % of one core.
steady() {
  run bash -c '
    "$1" --no-splash --frames 100000 --screenshot steady.dds "$2" >/dev/null 2>&1 &
    a=$!
    if [[ $3 == unfocused ]]; then
      sleep 0.7
      "$1" --no-splash --frames 100000 --screenshot other.dds >/dev/null 2>&1 &
      b=$!
    fi
    ticks() { awk "{ print \$14 + \$15 }" /proc/$a/stat; }
    sleep 8
    t0=$(ticks)
    sleep 10
    t1=$(ticks)
    kill $a ${b:-}
    wait 2>/dev/null || true
    echo "$t0 $t1 $(getconf CLK_TCK)" >steady.txt' _ "$build/vantor" "$big" "${1:-focused}"
  awk '{ printf "%.2f\n", 100 * ($2 - $1) / $3 / 10 }' steady.txt
}
for mode in focused unfocused; do
  for ((i = 0; i < runs; ++i)); do steady $mode; done | stats "%.1f" |
    sed "s/^/idle, big model loaded, $mode, % of one core: /"
done
