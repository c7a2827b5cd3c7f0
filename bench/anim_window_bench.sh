#!/usr/bin/env bash
# An animation playing in the window at the frame cap (60 a second) with
# Mesa's software GL under Xvfb: a looping animation turning the first bone of a
# 20,000-vertex model over a chain of 100 bones (vantor_big_model
# --animated). Each run plays it for 700 passes and for 100, with and
# without the interface, and reports, median and spread over RUNS runs
# (default 5):
#   passes a second   600 over the difference of the two runs' times
#   frame CPU         the main thread's CPU time a drawn frame (pose, skin,
#                     upload, draw), from VANTOR_FRAME_TRACE
#   frame wall        the same frames' wall time (Mesa's threads draw too)
#
#   bench/anim_window_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
window_bench_setup "${1:-}" "${2:-}"
mapfile -t paths < <("$build/bench/vantor_big_model" "$work/tree" --animated)
model=${paths[0]} anim=${paths[1]}

# play PASSES [ARGS...]: one run's seconds.
play() {
  local passes=$1 start end
  shift
  rm -f trace.txt Log.txt
  start=$(date +%s.%N)
  VANTOR_FRAME_TRACE=$work/trace.txt xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/vantor" --no-splash --frames "$passes" --screenshot last.dds --anim "$anim" "$@" "$model" >/dev/null 2>&1
  end=$(date +%s.%N)
  grep -q "Xanim Loaded" Log.txt || { echo "the animation did not load" >&2; exit 1; }
  echo "$end - $start" | bc
}
# one [ARGS...]: "passes-a-second cpu-ms wall-ms"; the frame times are the
# medians of the long run's frames after its first 100.
one() {
  local short long
  short=$(play 100 "$@")
  long=$(play 700 "$@")
  median() { tail -n +101 trace.txt | cut -d' ' -f"$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
  echo "$short $long $(median 2) $(median 1)" | awk '{ printf "%.1f %.3f %.3f\n", 600 / ($2 - $1), $3, $4 }'
}
for mode in "--no-gui" ""; do
  for ((i = 0; i < runs; ++i)); do one $mode; done >runs.txt
  label=${mode:+without the interface}
  echo "${label:-with the interface}:"
  echo "  passes a second (cap 60): $(cut -d' ' -f1 runs.txt | stats "%.1f")"
  echo "  frame CPU, ms:  $(cut -d' ' -f2 runs.txt | stats)"
  echo "  frame wall, ms: $(cut -d' ' -f3 runs.txt | stats)"
done
