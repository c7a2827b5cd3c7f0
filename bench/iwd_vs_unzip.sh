#!/usr/bin/env bash
# The IWD image mover beside Debian's unzip, side by side in one run.
#
#   bench/iwd_vs_unzip.sh [--build DIR] [--runs N] [--entries N] [--archives N]
#
# Writes ENTRIES (default 5000) small .iwi images into ARCHIVES (default 4)
# .iwd archives, then, RUNS times (default 5), into fresh empty folders on
# the same file system:
#   unzip    `unzip -n -q 'main/*.iwd' -d raw` (one process for all archives)
#   first    `vantor-cli iwd ROOT`, nothing present yet
#   second   `vantor-cli iwd ROOT` again, everything present
# and checks once that the two trees of images are the same. Prints the
# median of each and the ratios unzip / first (at least 1: the first pass
# is as fast as unzip) and first / second (at least 10).
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet); the archives and folders go under $TMPDIR (default /tmp,
# the disk; TMPDIR=/dev/shm measures on tmpfs).
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

iwd_bench_setup iwd_vs_unzip 5 5000 "$@"
echo "iwd_vs_unzip: $entries images in $archives archives ($bytes bytes), $runs runs, $(basename "$build")"

# Microseconds from bash itself ($EPOCHREALTIME): a `date` process on each
# side of a command would add its own start to a pass of a few milliseconds.

# Each timed command starts with the disk quiet (sync), and unzip and the
# first pass take turns going first, so neither pays for the other's
# write-back. Every run writes into folders of its own and nothing is
# deleted until the end: on a file system mounted with "discard", freeing
# thousands of files just before a run stalls its file creations.
time_unzip() {
  sync
  local t0=${EPOCHREALTIME/./}
  unzip -n -q "$work/main/*.iwd" -d "$run_dir/theirs/raw" >/dev/null 2>&1
  local elapsed=$((${EPOCHREALTIME/./} - t0))
  unzip_ms+=("$elapsed")
}
time_pass() {  # time_pass ARRAY OUTPUT
  sync
  local t0=${EPOCHREALTIME/./}
  "$cli" iwd "$run_dir/ours" >"$work/$2.out" 2>"$work/$2.err"
  local elapsed=$((${EPOCHREALTIME/./} - t0))
  eval "$1+=($elapsed)"
}

unzip_ms=() first_ms=() second_ms=()
for ((run = 1; run <= runs; run++)); do
  run_dir=$work/run$run
  mkdir -p "$run_dir/ours" "$run_dir/theirs/raw"
  ln -s "$work/main" "$run_dir/ours/main"
  if ((run % 2)); then
    time_unzip
    time_pass first_ms first
  else
    time_pass first_ms first
    time_unzip
  fi
  time_pass second_ms second

  if [[ $run -eq 1 ]]; then
    grep -q "^copied: $entries\$" "$work/first.out" || { echo "first pass did not copy $entries:" >&2; cat "$work/first.out" "$work/first.err" >&2; exit 1; }
    grep -q "^skipped (already present): $entries\$" "$work/second.out" || { echo "second pass did not skip $entries:" >&2; cat "$work/second.out" >&2; exit 1; }
    diff -r "$run_dir/ours/raw/images" "$run_dir/theirs/raw/images" >/dev/null || { echo "the trees differ from unzip's" >&2; exit 1; }
  fi
done

u=$(median "${unzip_ms[@]}")
f=$(median "${first_ms[@]}")
s=$(median "${second_ms[@]}")

awk -v u="$u" -v f="$f" -v s="$s" -v n="$entries" 'BEGIN {
  printf "%-34s %10s %14s\n", "", "median ms", "images / s"
  printf "%-34s %10.1f %14.0f\n", "unzip -n -q (empty folder)", u / 1000, n / (u / 1e6)
  printf "%-34s %10.1f %14.0f\n", "vantor-cli iwd, first pass", f / 1000, n / (f / 1e6)
  printf "%-34s %10.1f %14.0f\n", "vantor-cli iwd, second pass", s / 1000, n / (s / 1e6)
  printf "unzip / first:  %.2f (goal >= 1)\n", u / f
  printf "first / second: %.1f (goal >= 10)\n", f / s
}'
echo "runs (us): unzip ${unzip_ms[*]} | first ${first_ms[*]} | second ${second_ms[*]}"
