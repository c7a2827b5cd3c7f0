#!/usr/bin/env bash
# The archive index beside Debian's unzip listing the same archives.
#
#   bench/iwd_index_vs_unzip.sh [--build DIR] [--runs N] [--entries N] [--archives N]
#
# Writes ENTRIES (default 50000) small .iwi images into ARCHIVES (default 4)
# .iwd archives, then RUNS times (default 11), taking turns at going first:
#   unzip    `unzip -Z1 'main/*.iwd'` (one process, every archive's names)
#   index    `vantor-cli iwd ROOT --index` (every archive's central
#            directory walked, the entries checked, the image list printed)
# Both read the central directories only; the archives are in the page
# cache. Prints the medians, fastest and slowest of each, and the ratio
# index / unzip (goal at most 1.5).
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet); the archives go under $TMPDIR (default /tmp).
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

iwd_bench_setup iwd_index_vs_unzip 11 50000 "$@"
echo "iwd_index_vs_unzip: $entries images in $archives archives ($bytes bytes), $runs runs, $(basename "$build")"

# Both list every image once: checked once before timing.
listed=$("$cli" iwd "$work" --index 2>/dev/null | grep -c ' main/')
named=$(unzip -Z1 "$work/main/*.iwd" 2>/dev/null | grep -c '\.iwi$')
[[ $listed -eq $entries && $named -eq $entries ]] || { echo "index listed $listed, unzip $named, of $entries" >&2; exit 1; }

now_ns() { date +%s%N; }
time_unzip() {
  local t0
  t0=$(now_ns)
  unzip -Z1 "$work/main/*.iwd" >/dev/null 2>&1
  unzip_us+=($((($(now_ns) - t0) / 1000)))
}
time_index() {
  local t0
  t0=$(now_ns)
  "$cli" iwd "$work" --index >/dev/null 2>&1
  index_us+=($((($(now_ns) - t0) / 1000)))
}

unzip_us=() index_us=()
time_unzip; time_index  # page cache warm, not counted
unzip_us=() index_us=()
for ((run = 1; run <= runs; run++)); do
  if ((run % 2)); then
    time_unzip
    time_index
  else
    time_index
    time_unzip
  fi
done

u=$(median "${unzip_us[@]}")
i=$(median "${index_us[@]}")
awk -v u="$u" -v i="$i" -v ul="$(lowest "${unzip_us[@]}")" -v uh="$(highest "${unzip_us[@]}")" \
  -v il="$(lowest "${index_us[@]}")" -v ih="$(highest "${index_us[@]}")" 'BEGIN {
  printf "%-30s %10s %18s\n", "", "median ms", "fastest-slowest"
  printf "%-30s %10.1f %8.1f-%.1f\n", "unzip -Z1 main/*.iwd", u / 1000, ul / 1000, uh / 1000
  printf "%-30s %10.1f %8.1f-%.1f\n", "vantor-cli iwd ROOT --index", i / 1000, il / 1000, ih / 1000
  printf "index / unzip: %.2f (goal <= 1.5)\n", i / u
}'
echo "runs (us): unzip ${unzip_us[*]} | index ${index_us[*]}"
