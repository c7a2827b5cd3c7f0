#!/usr/bin/env bash
# The start-up of `vantor-cli --help` beside a C++ hello world built with
# the same compiler and flags (bench/hello_main.cpp), whole processes:
#
#   bench/start_vs_hello.sh [--build DIR] [--runs N]
#
# vantor_start_time runs the two in turn N times (default 301; which goes
# first alternating), output to /dev/null; prints for each the median wall
# time with the 10th-90th percentiles and min-max, the median CPU time
# (user + system), the shared libraries it loads, and the ratio of the
# medians (goal: at most 2). The load average before and after says how
# busy the machine was.
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet).
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 301 "$@"

targets=(vantor-cli vantor_hello vantor_start_time)
bench_build "${targets[@]}"
cli=$build/vantor-cli
hello=$build/bench/vantor_hello

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_start_bench_$$_XXXXXX")
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config

libraries() { LD_TRACE_LOADED_OBJECTS=1 "$1" | grep -c '=>' || true; }
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
"$build/bench/vantor_start_time" "$runs" "$cli" --help -- "$hello" >"$work/times.txt"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
echo "start_vs_hello: $runs runs each, $(basename "$build") ($build_type), load $load_before before, $load_after after"
# stats COL: column COL of times.txt (microseconds) as
# "MEDIAN P10 P90 MIN MAX" in milliseconds.
stats() {
  cut -d' ' -f"$1" "$work/times.txt" | sort -n | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f %.3f %.3f %.3f %.3f\n", m / 1000, v[int(0.1 * (NR - 1)) + 1] / 1000,
      v[int(0.9 * (NR - 1)) + 1] / 1000, v[1] / 1000, v[NR] / 1000 }'
}
read -r cli_wall cli_p10 cli_p90 cli_min cli_max < <(stats 1)
read -r cli_cpu _ < <(stats 2)
read -r hello_wall hello_p10 hello_p90 hello_min hello_max < <(stats 3)
read -r hello_cpu _ < <(stats 4)
printf '%-20s %10s %14s %16s %10s\n' "" "wall (ms)" "p10-p90" "min-max" "CPU (ms)"
printf '%-20s %10s %14s %16s %10s\n' "vantor-cli --help" "$cli_wall" "$cli_p10-$cli_p90" "$cli_min-$cli_max" "$cli_cpu"
printf '%-20s %10s %14s %16s %10s\n' "hello world" "$hello_wall" "$hello_p10-$hello_p90" "$hello_min-$hello_max" \
  "$hello_cpu"
awk -v a="$cli_wall" -v b="$hello_wall" -v ac="$cli_cpu" -v bc="$hello_cpu" \
  'BEGIN { printf "ratio of the medians: %.2fx wall, %.2fx CPU (goal: wall at most 2x)\n",
          a / b, (bc > 0 ? ac / bc : 0) }'
echo "shared libraries loaded: vantor-cli $(libraries "$cli"), hello world $(libraries "$hello")"
