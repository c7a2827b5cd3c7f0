#!/usr/bin/env bash
# The writers beside dd writing as many bytes, on tmpfs (/dev/shm).
#
#   bench/writers_vs_dd.sh [--build DIR] [--runs N]
#
# Writes the large model (64 surfaces of 32,000 vertices, four influences a
# vertex, COD 4 layout), bent round a ball so that its numbers have a real
# model's signs, digits and fractions (vantor_big_model --shaped), and,
# for each writer, RUNS times (default 5) in turn:
#   writer   `vantor_writer_time FORMAT`: a process that loads the model
#            (scale 2.54) and times the one export call (xe, ma: the scene
#            alone, mel: the bind script, obj: OBJ + MTL, glb, gltf: .gltf
#            + .bin)
#   dd       `dd if=/dev/zero bs=1M` of the same number of bytes
# then, for information, the whole `vantor-cli export --format xe|ma|obj`
# process (load and write; ma with its bind script) beside dd of its bytes.
# Prints the median and min-max of each and the ratio of the medians.
# One untimed XMODEL_EXPORT and dd of its bytes go first: on a VM, memory
# the guest has never touched costs several times more to fault in than
# memory it has, and the first runs would measure that instead.
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet). Everything written under /dev/shm is removed on exit.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 5 "$@"

targets=(vantor-cli vantor_big_model vantor_writer_time)
bench_build "${targets[@]}"

work=$(mktemp -d /dev/shm/vantor_writers_$$_XXXXXX)
trap 'rm -rf "$work"' EXIT
model=$("$build/bench/vantor_big_model" "$work/game" --shaped)

now() { date +%s.%N; }

# dd_seconds BYTES: one dd of BYTES zero bytes into a new file on tmpfs.
dd_seconds() {
  local start end
  start=$(now)
  dd if=/dev/zero of="$work/dd.out" bs=1M count="$1" iflag=count_bytes status=none
  end=$(now)
  rm -f "$work/dd.out"
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}

# stats SECONDS...: "median  min-max" in seconds.
stats() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f s (%.3f-%.3f)", m, v[1], v[NR] }'
}


# report NAME BYTES "WRITER_TIMES" "DD_TIMES"
report() {
  local -a writer_times dd_times
  read -ra writer_times <<<"$3"
  read -ra dd_times <<<"$4"
  printf '%-14s %6.0f MB  %-26s dd %-26s ratio %.2f\n' "$1" "$(awk -v b="$2" 'BEGIN { print b / 1e6 }')" \
    "$(stats "${writer_times[@]}")" "$(stats "${dd_times[@]}")" \
    "$(awk -v a="$(median "${writer_times[@]}")" -v b="$(median "${dd_times[@]}")" 'BEGIN { print a / b }')"
}

read -r _ warm_bytes _ < <("$build/bench/vantor_writer_time" xe "$model" "$work/out")
rm -rf "$work/out"
dd_seconds "$((2 * warm_bytes))" >/dev/null

echo "writers alone vs dd on /dev/shm, $runs runs each, median (min-max):"
for format in xe ma mel obj glb gltf; do
  ours="" theirs="" bytes=0
  for ((run = 0; run < runs; ++run)); do
    read -r seconds bytes _ < <("$build/bench/vantor_writer_time" "$format" "$model" "$work/out")
    rm -rf "$work/out"
    ours+=" $seconds"
    theirs+=" $(dd_seconds "$bytes")"
  done
  report "$format" "$bytes" "$ours" "$theirs"
done

echo "whole vantor-cli export processes vs dd on /dev/shm:"
for format in xe ma obj; do
  ours="" theirs="" bytes=0
  for ((run = 0; run < runs; ++run)); do
    start=$(now)
    "$build/vantor-cli" export "$model" --format "$format" --game cod4 --scale 2.54 --no-sub-dir \
      --out "$work/out" >/dev/null 2>&1
    end=$(now)
    bytes=$(find "$work/out" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
    rm -rf "$work/out"
    ours+=" $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')"
    theirs+=" $(dd_seconds "$bytes")"
  done
  report "cli $format" "$bytes" "$ours" "$theirs"
done
