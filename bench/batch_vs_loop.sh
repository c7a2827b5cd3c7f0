#!/usr/bin/env bash
# One `vantor-cli export --all ROOT -j 2` beside a shell loop of one
# `vantor-cli export MODEL` process per model, on the same models.
#
#   bench/batch_vs_loop.sh [--build DIR] [--runs N]
#
# Three trees: 40 generated COD 4 models (vantor_batch_tree: 4 surfaces
# of 3,000 vertices each, four influences a vertex), where the start of a
# process weighs as much as the work; 16 larger ones (8 surfaces of 12,000
# vertices, ~90 MB of output each), where the writing does; and the bundled
# sample tree's cod4 folder (`vantor-cli sample`, three small models). Every format (`--format all`) into a fresh folder
# under $TMPDIR (default /tmp) each run. The two ways take turns; RUNS
# times (default 5). Prints the median and min-max wall time of each and
# the ratio of the medians. The batch's files are checked against the
# loop's once (same files; the headers' surface-load times aside).
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet).
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 5 "$@"

bench_build vantor-cli vantor_batch_tree
cli=$build/vantor-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_batch_bench_$$_XXXXXX")
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config
"$build/vantor_batch_tree" "$work/generated" 40 4 3000
"$build/vantor_batch_tree" "$work/generated_large" 16 8 12000
"$cli" sample "$work/sample" >/dev/null 2>&1
echo "batch_vs_loop: $runs runs, $(basename "$build"), $(nproc) cores"

now_ns() { date +%s%N; }

time_loop() {
  local root=$1 out=$2 t0
  rm -rf "$out"
  t0=$(now_ns)
  for model in "$root"/raw/xmodel/*; do
    "$cli" export "$model" --game cod4 --format all --out "$out" >/dev/null 2>&1
  done
  loop_us+=($((($(now_ns) - t0) / 1000)))
}
time_batch() {
  local root=$1 out=$2 t0
  rm -rf "$out"
  t0=$(now_ns)
  "$cli" export --all "$root" --game cod4 --format all --out "$out" -j 2 >/dev/null 2>&1
  batch_us+=($((($(now_ns) - t0) / 1000)))
}

# The surface-load time in the scene, OBJ and XMODEL_EXPORT headers is the
# one line two runs do not share.
same_files() {
  diff -r -q -I 'Surface Load Time' "$1" "$2" >/dev/null 2>&1 || diff -r -I 'Surface Load Time' "$1" "$2" >/dev/null
}

for tree in generated generated_large sample/cod4; do
  root=$work/$tree
  models=$(find "$root/raw/xmodel" -maxdepth 1 -type f ! -name '*.*' | wc -l)
  loop_us=() batch_us=()
  for ((run = 1; run <= runs; run++)); do
    if ((run % 2)); then
      time_loop "$root" "$work/loop"
      time_batch "$root" "$work/batch"
    else
      time_batch "$root" "$work/batch"
      time_loop "$root" "$work/loop"
    fi
  done
  same_files "$work/loop" "$work/batch" || { echo "batch_vs_loop: $tree: the batch wrote other files than the loop" >&2; exit 1; }
  awk -v t="$tree ($models models)" -v lm="$(median "${loop_us[@]}")" -v llo="$(lowest "${loop_us[@]}")" \
      -v lhi="$(highest "${loop_us[@]}")" -v bm="$(median "${batch_us[@]}")" -v blo="$(lowest "${batch_us[@]}")" \
      -v bhi="$(highest "${batch_us[@]}")" 'BEGIN {
    printf "%s\n", t
    printf "  %-34s %9.0f ms (%.0f-%.0f)\n", "loop, one process a model", lm / 1000, llo / 1000, lhi / 1000
    printf "  %-34s %9.0f ms (%.0f-%.0f)\n", "export --all -j 2", bm / 1000, blo / 1000, bhi / 1000
    printf "  batch is %.2f times faster (medians)\n", lm / bm
  }'
  echo "  runs (us): loop ${loop_us[*]} | batch ${batch_us[*]}"
done
