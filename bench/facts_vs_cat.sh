#!/usr/bin/env bash
# The search box's facts over a tree the size of the stock COD 4 tree
# (4,372 models: the sample tree's soldiers and crates in turn, written by
# vantor_batch_tree --small), beside `cat` of the same xmodel and parts
# files (the read floor), all in the page cache. RUNS times (default 7),
# taking turns:
#   first     `vantor-cli list ROOT --filter 'bones:>20'` with no stored
#             index: the loader's "facts of N models in X ms" (every model's
#             headers read, the index written)
#   cat       `cat` of every xmodel and parts file to /dev/null
#   stored    the same search again: the facts from the stored index (each
#             model's two files checked for changes)
#   filter    the search itself over facts in memory (the loader's
#             "QorLoader::Filter ... (X ms)"), as the window runs it at
#             every key once the facts are in
# Prints the median and min-max of each and the ratio first / cat.
#
#   bench/facts_vs_cat.sh [--build DIR] [--runs N] [--models N]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

models=4372
args=()
while [[ $# -gt 0 ]]; do
  case $1 in
    --models) models=$2; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
bench_options 7 "${args[@]}"
bench_build vantor-cli vantor_batch_tree
cli=$build/vantor-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_facts_bench_$$_XXXXXX")
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config XDG_CACHE_HOME=$work/cache
"$build/vantor_batch_tree" "$work/root" "$models" --small
mapfile -t files < <(find "$work/root/raw/xmodel" "$work/root/raw/xmodelparts" -type f | sort)
bytes=$(cat "${files[@]}" | wc -c)
echo "facts_vs_cat: $models models, ${#files[@]} xmodel and parts files ($bytes bytes), $runs runs, $(basename "$build"), load $(cut -d' ' -f1-3 /proc/loadavg)"
cat "${files[@]}" >/dev/null
find "$work/root/raw/xmodelsurfs" -type f -exec cat {} + >/dev/null

# The milliseconds of the log line holding $1, from a search's standard error.
log_ms() { grep -o "$1 [^(]*(\?[0-9.]* ms" "$2" | tail -n 1 | grep -o '[0-9.]* ms' | cut -d' ' -f1; }
search() {
  "$cli" list "$work/root" --filter 'bones:>20' >"$work/names" 2>"$work/log"
  [[ $(wc -l <"$work/names") == $(((models + 1) / 2)) ]] || { echo "the search gave $(wc -l <"$work/names") names" >&2; exit 1; }
}
time_first() {
  rm -rf "$work/cache"
  search
  grep -q "($models read" "$work/log" || { echo "the facts were not all read:" >&2; cat "$work/log" >&2; exit 1; }
  first_ms+=("$(log_ms 'facts of' "$work/log")")
}
time_stored() {
  search
  grep -q "(0 read" "$work/log" || { echo "the index was not used:" >&2; cat "$work/log" >&2; exit 1; }
  stored_ms+=("$(log_ms 'facts of' "$work/log")")
  filter_ms+=("$(grep -o 'hold "bones:>20" ([0-9.]* ms' "$work/log" | grep -o '[0-9.]* ms' | cut -d' ' -f1)")
}
time_cat() {
  local t0=$EPOCHREALTIME
  cat "${files[@]}" >/dev/null
  cat_ms+=("$(awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.2f", (b - a) * 1000}')")
}

first_ms=() stored_ms=() filter_ms=() cat_ms=()
for ((run = 1; run <= runs; run++)); do
  if ((run % 2)); then
    time_first; time_stored; time_cat
  else
    time_cat; time_first; time_stored
  fi
done

for what in first cat stored filter; do
  declare -n list=${what}_ms
  printf '%-7s %8.2f ms  (%s)\n' "$what" "$(median "${list[@]}")" "$(span "${list[@]}")"
done
awk -v f="$(median "${first_ms[@]}")" -v c="$(median "${cat_ms[@]}")" 'BEGIN {printf "first / cat: %.2f (goal: at most 2)\n", f / c}'
