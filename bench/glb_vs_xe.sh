#!/usr/bin/env bash
# Whole `vantor-cli export` processes of the large model: GLB beside the
# XMODEL_EXPORT and OBJ exports, on tmpfs (/dev/shm).
#
#   bench/glb_vs_xe.sh [--build DIR] [--runs N]
#
# Writes the large model (64 surfaces of 32,000 vertices, four influences a
# vertex, COD 4 layout; bench/big_model_main.cpp) and runs, RUNS times
# (default 7) in turn, `vantor-cli export MODEL --format glb|xe|obj` (load
# and write, scale 2.54). Prints each format's bytes written and the median
# and min-max of its wall time and of its CPU time (user + system, from
# /usr/bin/time: the figure that holds when other work shares the cores),
# and the XE / GLB and OBJ / GLB ratios of the medians.
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet). Everything written under /dev/shm is removed on exit.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 7 "$@"

targets=(vantor-cli vantor_big_model)
bench_build "${targets[@]}"

work=$(mktemp -d /dev/shm/vantor_glb_$$_XXXXXX)
trap 'rm -rf "$work"' EXIT
model=$("$build/bench/vantor_big_model" "$work/game")

# stats SECONDS...: "median  min-max" in seconds.
stats() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f s (%.3f-%.3f)", m, v[1], v[NR] }'
}


echo "whole vantor-cli export processes of the large model on /dev/shm, $runs runs each, median (min-max):"
# Interleaved, so that a busy moment of the machine touches every format.
declare -A wall cpu bytes
for ((run = 0; run < runs; ++run)); do
  for format in glb xe obj; do
    read -r seconds user system < <(
      /usr/bin/time -f '%e %U %S' "$build/vantor-cli" export "$model" --format "$format" --game cod4 \
        --scale 2.54 --no-sub-dir --out "$work/out" 2>&1 >/dev/null | tail -1)
    bytes[$format]=$(find "$work/out" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
    rm -rf "$work/out"
    wall[$format]+=" $seconds"
    cpu[$format]+=" $(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')"
  done
done
declare -A wall_median cpu_median
for format in glb xe obj; do
  read -ra w <<<"${wall[$format]}"
  read -ra c <<<"${cpu[$format]}"
  wall_median[$format]=$(median "${w[@]}")
  cpu_median[$format]=$(median "${c[@]}")
  printf '%-4s %6.0f MB  wall %-26s cpu %s\n' "$format" "$(awk -v b="${bytes[$format]}" 'BEGIN { print b / 1e6 }')" \
    "$(stats "${w[@]}")" "$(stats "${c[@]}")"
done
for kind in wall cpu; do
  declare -n m="${kind}_median"
  awk -v k="$kind" -v x="${m[xe]}" -v g="${m[glb]}" -v o="${m[obj]}" \
    'BEGIN { printf "%s: xe / glb %.1fx, obj / glb %.1fx\n", k, x / g, o / g }'
done
