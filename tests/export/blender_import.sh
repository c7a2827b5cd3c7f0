#!/usr/bin/env bash
# Blender's own glTF importer over our GLB: a crate whose material has a
# colour, a normal and a specular map, exported with `vantor-cli export
# --format glb`, imported headless; blender_import.py checks the material.
# Then a COD 4 and a Black Ops weapon of the samples (when present).
#   blender_import.sh VANTOR_CLI VANTOR_TEST_MODEL WORK_DIR [SAMPLES_DIR]
# Exits 77 (skipped) when Blender is not installed.
set -euo pipefail
cli=$1 test_model=$2 work=$3 samples=${4:-}
command -v blender >/dev/null || { echo "blender_import: Blender is not installed: skipped"; exit 77; }
rm -rf "$work" && mkdir -p "$work"
model=$("$test_model" maps "$work/tree")
"$cli" export "$model" --format glb --out "$work/out" >/dev/null
glb=$(find "$work/out" -name '*.glb' | head -n 1)
[[ -n $glb ]] || { echo "blender_import: no GLB was written" >&2; exit 1; }
blender -b --factory-startup --python "$(dirname "$0")/blender_import.py" -- "$glb" 2>&1 | tail -n 5
for weapon in cod4-surf/raw/xmodel/world_karambit bo-t7mod/raw/xmodel/t5_sickle_world; do
  [[ -f $samples/$weapon ]] || continue
  "$cli" export "$samples/$weapon" --format glb --out "$work/weapons" >/dev/null 2>&1
  glb=$(find "$work/weapons" -name "$(basename "$weapon")*.glb" | head -n 1)
  [[ -n $glb ]] || { echo "blender_import: no GLB of $weapon" >&2; exit 1; }
  blender -b --factory-startup --python "$(dirname "$0")/blender_import.py" -- "$glb" 2>&1 | tail -n 1
done
