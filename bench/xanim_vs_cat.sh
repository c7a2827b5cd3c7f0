#!/usr/bin/env bash
# Reading compiled animations beside `cat` of the same bytes: the sample
# animations of the three games (../shared/samples/*-xanim) copied again
# and again into one folder until it holds about 100 MB, in the page cache;
# then RUNS times (default 7), taking turns, the whole
# `vantor_xanim_decode DIR` process (every file read and decoded) and
# `cat DIR/* > /dev/null`. Prints the medians, spreads and their ratio
# (goal: at most 3).
#
#   bench/xanim_vs_cat.sh [--build DIR] [--runs N]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 7 "$@"
samples=$VANTOR_ROOT/../shared/samples
[[ -d $samples ]] || { echo "xanim_vs_cat: no $samples" >&2; exit 1; }
bench_build vantor_xanim_decode
work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_xanim_bench_$$_XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/anims"
mapfile -t originals < <(find "$samples" -path '*/raw/xanim/*' -type f | sort)
copy=0
while (($(du -sb "$work/anims" | cut -f1) < 100000000)); do
  for f in "${originals[@]}"; do cp "$f" "$work/anims/$(basename "$f")_$copy"; done
  copy=$((copy + 1))
done
files=$(find "$work/anims" -type f | wc -l)
bytes=$(du -sb "$work/anims" | cut -f1)
echo "xanim_vs_cat: $files files ($bytes bytes), $runs runs, $(basename "$build"), load $(cut -d' ' -f1-3 /proc/loadavg)"
cat "$work/anims"/* >/dev/null

ms_of() {  # ms_of ARRAY COMMAND...: appends the command's wall time
  local -n into=$1
  shift
  local t0=$EPOCHREALTIME
  "$@" >/dev/null
  into+=("$(awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.2f", (b - a) * 1000}')")
}
decode=() plain=()
for ((run = 1; run <= runs; run++)); do
  if ((run % 2)); then
    ms_of decode "$build/bench/vantor_xanim_decode" "$work/anims"
    ms_of plain sh -c "cat '$work/anims'/* >/dev/null"
  else
    ms_of plain sh -c "cat '$work/anims'/* >/dev/null"
    ms_of decode "$build/bench/vantor_xanim_decode" "$work/anims"
  fi
done
printf 'decode %8.1f ms  (%s)\n' "$(median "${decode[@]}")" "$(span "${decode[@]}")"
printf 'cat    %8.1f ms  (%s)\n' "$(median "${plain[@]}")" "$(span "${plain[@]}")"
awk -v d="$(median "${decode[@]}")" -v c="$(median "${plain[@]}")" 'BEGIN {printf "decode / cat: %.2f (goal: at most 3)\n", d / c}'
