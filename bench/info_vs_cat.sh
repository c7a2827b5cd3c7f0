#!/usr/bin/env bash
# `vantor-cli info` of the large model beside `cat` of its surfs file.
#
#   bench/info_vs_cat.sh [--build DIR] [--runs N]
#
# Writes the large model once (vantor_big_model: 64 surfaces of 32,000
# vertices, four influences a vertex, COD 4 layout, ~166 MB of xmodelsurfs),
# reads it once so that it sits in the page cache, then RUNS times (default
# 7), taking turns, times the whole `vantor-cli info PATH` process and
# `cat SURFS > /dev/null` (the same bytes read and thrown away: the read
# floor), and `cat SURFS > /dev/shm/...` (the same bytes copied once into
# fresh memory, which the kernel zeroes first: the floor of any loader that
# builds its model in new memory). Prints the median and min-max of each,
# in ms and in GB/s of surfs file, the ratios of the medians, and the
# highest max RSS of vantor-cli over the runs as a multiple of the surfs
# file.
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet); the model goes under $TMPDIR (default /tmp).
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 7 "$@"

[[ -x /usr/bin/time ]] || { echo "info_vs_cat: /usr/bin/time is not installed (GNU time)" >&2; exit 1; }
bench_build vantor-cli vantor_big_model
cli=$build/vantor-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_info_bench_$$_XXXXXX")
copy=/dev/shm/vantor_info_bench_$$
trap 'rm -rf "$work" "$copy"' EXIT
model=$("$build/bench/vantor_big_model" "$work")
surfs=$(find "$work/raw/xmodelsurfs" -type f | head -n 1)
bytes=$(stat -c %s "$surfs")
echo "info_vs_cat: $bytes bytes of xmodelsurfs, $runs runs, $(basename "$build")"

# Warm the page cache and check once that the model loads in full.
cat "$surfs" >/dev/null
"$cli" info "$model" >"$work/info.out"
grep -q '^totals: 2048000 vertices' "$work/info.out" || { echo "info did not read the model:" >&2; cat "$work/info.out" >&2; exit 1; }

now_ns() { date +%s%N; }
time_info() {
  local t0
  t0=$(now_ns)
  /usr/bin/time -f %M -o "$work/rss" "$cli" info "$model" >/dev/null
  info_us+=($((($(now_ns) - t0) / 1000)))
  rss_kb+=("$(tail -n 1 "$work/rss")")
}
time_cat() {
  local t0
  t0=$(now_ns)
  /usr/bin/time -f %M -o "$work/rss" cat "$surfs" >/dev/null
  cat_us+=($((($(now_ns) - t0) / 1000)))
}

time_copy() {
  local t0
  rm -f "$copy"
  t0=$(now_ns)
  cat "$surfs" >"$copy"
  copy_us+=($((($(now_ns) - t0) / 1000)))
  rm -f "$copy"
}

info_us=() cat_us=() copy_us=() rss_kb=()
for ((run = 1; run <= runs; run++)); do
  if ((run % 2)); then
    time_info
    time_cat
    time_copy
  else
    time_copy
    time_cat
    time_info
  fi
done


awk -v b="$bytes" -v im="$(median "${info_us[@]}")" -v ilo="$(lowest "${info_us[@]}")" \
    -v ihi="$(highest "${info_us[@]}")" -v cm="$(median "${cat_us[@]}")" \
    -v clo="$(lowest "${cat_us[@]}")" -v chi="$(highest "${cat_us[@]}")" \
    -v pm="$(median "${copy_us[@]}")" -v plo="$(lowest "${copy_us[@]}")" -v phi="$(highest "${copy_us[@]}")" \
    -v rss="$(highest "${rss_kb[@]}")" 'BEGIN {
  printf "%-22s %10s %17s %9s %15s\n", "", "median ms", "min-max ms", "GB/s", "GB/s min-max"
  printf "%-22s %10.1f %8.1f-%-8.1f %9.2f %7.2f-%-7.2f\n", "vantor-cli info", im / 1000, ilo / 1000, ihi / 1000, b / im / 1000, b / ihi / 1000, b / ilo / 1000
  printf "%-22s %10.1f %8.1f-%-8.1f %9.2f %7.2f-%-7.2f\n", "cat SURFS > /dev/null", cm / 1000, clo / 1000, chi / 1000, b / cm / 1000, b / chi / 1000, b / clo / 1000
  printf "%-22s %10.1f %8.1f-%-8.1f %9.2f %7.2f-%-7.2f\n", "cat SURFS > /dev/shm", pm / 1000, plo / 1000, phi / 1000, b / pm / 1000, b / phi / 1000, b / plo / 1000
  printf "info / cat to /dev/null (medians): %.2f; info / copy into /dev/shm: %.2f\n", im / cm, im / pm
  printf "vantor-cli max RSS: %.0f MB, %.2f x the surfs file (goal <= 1.5)\n", rss / 1024, rss * 1024 / b
}'
echo "runs (us): info ${info_us[*]} | cat ${cat_us[*]} | copy ${copy_us[*]}"
