#!/usr/bin/env bash
# Our OBJ export beside Assimp's own OBJ exporter, side by side in one run.
#
#   bench/obj_vs_assimp.sh [--build DIR] [--runs N]
#
# Writes the large model (64 surfaces of 32,000 vertices, four influences a
# vertex), exports its OBJ once as Assimp's input, then RUNS times (default
# 5), each a whole process into a fresh folder:
#   ours     `vantor-cli export PATH --format obj` (load the three model
#            files, write the OBJ and MTL); `vantor_obj_export`, the same
#            steps, while the command line does not take "obj" yet
#   assimp   `assimp export in.obj out.obj` (read that OBJ, write it again)
# and checks once that Assimp reads our file with the model's counts. Prints
# the medians and the ratio assimp / ours (goal: at least 3).
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet); the files go under $TMPDIR.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 5 "$@"

command -v assimp >/dev/null || { echo "obj_vs_assimp: assimp is not installed (scripts/install-deps)" >&2; exit 1; }
targets=(vantor-cli vantor_big_model vantor_obj_export)
bench_build "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_obj_bench_$$_XXXXXX")
trap 'rm -rf "$work"' EXIT
model=$("$build/bench/vantor_big_model" "$work/game")

# The command line when it takes "obj", else the stand-in.
export_obj() {  # export_obj OUT_DIR
  if [[ $use_cli -eq 1 ]]; then
    "$build/vantor-cli" export "$model" --format obj --game cod4 --no-sub-dir --out "$1" >/dev/null 2>&1
  else
    "$build/bench/vantor_obj_export" "$model" "$1" >/dev/null
  fi
}
use_cli=1
if ! export_obj "$work/in" || [[ ! -f $work/in/fixture_big_lod0.obj ]]; then
  use_cli=0
  rm -rf "$work/in"
  export_obj "$work/in"
fi
ours_name=$([[ $use_cli -eq 1 ]] && echo "vantor-cli export --format obj" || echo "vantor_obj_export")
in_obj=$work/in/fixture_big_lod0.obj
bytes=$(stat -c %s "$in_obj")
echo "obj_vs_assimp: $bytes bytes of OBJ, $runs runs, $(basename "$build"), ours: $ours_name"

info=$(cd "$work/in" && assimp info fixture_big_lod0.obj -r 2>/dev/null)
grep -q "^Meshes: *64$" <<<"$info" || { echo "Assimp does not read 64 meshes:" >&2; echo "$info" | head -20 >&2; exit 1; }

now_ns() { date +%s%N; }
time_ours() {
  sync
  local t0
  t0=$(now_ns)
  export_obj "$run_dir/ours"
  ours_us+=($((($(now_ns) - t0) / 1000)))
}
time_assimp() {
  sync
  local t0
  t0=$(now_ns)
  (cd "$work/in" && assimp export fixture_big_lod0.obj "$run_dir/theirs/out.obj" >/dev/null 2>&1)
  assimp_us+=($((($(now_ns) - t0) / 1000)))
  [[ -s $run_dir/theirs/out.obj ]] || { echo "assimp export wrote nothing" >&2; exit 1; }
}

ours_us=() assimp_us=()
for ((run = 1; run <= runs; run++)); do
  run_dir=$work/run$run
  mkdir -p "$run_dir/theirs"
  # Take turns going first, so that neither pays for the other's write-back.
  if ((run % 2)); then time_ours; time_assimp; else time_assimp; time_ours; fi
done

o=$(median "${ours_us[@]}")
a=$(median "${assimp_us[@]}")
awk -v o="$o" -v a="$a" -v b="$bytes" -v name="$ours_name" 'BEGIN {
  printf "%-34s %10s %10s\n", "", "median ms", "MB/s"
  printf "%-34s %10.1f %10.0f\n", name, o / 1000, b / o
  printf "%-34s %10.1f %10.0f\n", "assimp export in.obj out.obj", a / 1000, b / a
  printf "assimp / ours: %.2f (goal >= 3)\n", a / o
}'
echo "runs (us): ours ${ours_us[*]} | assimp ${assimp_us[*]}"
