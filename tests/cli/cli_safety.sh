#!/usr/bin/env bash
# vantor-cli where files land and what reaches the terminal: `info` escapes
# control sequences from game files, `export --out` keeps every file of the
# run under its folder, images too (--gdt-dir and --tags-dir move the GDT
# and the tags), a model that fails to load writes nothing, and `convert`
# refuses to write over its input through another spelling of the same file.
#
#   cli_safety.sh VANTOR_CLI VANTOR_TEST_MODEL WORK_DIR
set -euo pipefail
cli=$1 test_model=$2 work=$3
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"
program_dir=$(dirname "$(readlink -f "$cli")")
# What the program's own folder holds of the run's outputs ("Running
# Directory" defaults); nothing of these runs may land there.
running_outputs() {
  find "$program_dir/GDTs" "$program_dir/Tags" "$program_dir/exported" -newer "$work/stamp" \
    -type f 2>/dev/null | sort
}

# --- info: control sequences from names are escaped ---
model=$("$test_model" hostile "$work/hostile")
"$cli" info --game cod4 "$model" >"$work/info.txt" 2>"$work/info.err" || fail "info: $(cat "$work/info.err")"
! LC_ALL=C grep -q $'\x1b\|\x07\|\x9b' "$work/info.txt" || fail "info printed a raw control character"
grep -qF 'tag\x1B[31mred\x9B' "$work/info.txt" || fail "bone name not shown escaped: $(cat "$work/info.txt")"
grep -qF 'physics preset: "\x1B]0;owned\x07"' "$work/info.txt" || fail "preset not shown escaped"

# --- export --out: everything under DIR ---
"$cli" sample "$work/sample" >/dev/null
src=$(find "$work/sample/cod4/raw/xmodel" -type f | sort | head -1)
name=$(basename "$src")
touch "$work/stamp"
sleep 1
out=$work/out
# Images set to land beside their sources: --out still holds them.
"$cli" settings set Export/export_images_local 0 >/dev/null || fail "settings set export_images_local"
"$cli" export "$src" --game cod4 --out "$out" --format all >"$work/export.txt" 2>"$work/export.err" ||
  fail "export --format all: $(cat "$work/export.err")"
while read -r written; do
  case $(readlink -f "$written") in
    "$(readlink -f "$out")"/*) ;;
    *) fail "written outside --out: $written" ;;
  esac
  [[ -f $written ]] || fail "printed but missing: $written"
done <"$work/export.txt"
grep -q '\.gdt$' "$work/export.txt" || fail "no GDT written"
grep -q '_tags\.html$' "$work/export.txt" || fail "no tags report written"
! grep -q '\.gl[tb]f\?$' "$work/export.txt" || fail "--format all wrote glTF: $(cat "$work/export.txt")"
"$cli" export "$src" --game cod4 --out "$work/out_gl" --format gltf,glb >"$work/export_gl.txt" \
  2>"$work/export_gl.err" || fail "export --format gltf,glb: $(cat "$work/export_gl.err")"
for ext in gltf bin glb; do
  grep -q "^$work/out_gl/$name/.*\.$ext$" "$work/export_gl.txt" || fail "no .$ext under --out: $(cat "$work/export_gl.txt")"
done
grep -q '^Exported GLTF: ' "$work/export_gl.err" && grep -q '^Exported GLB: ' "$work/export_gl.err" ||
  fail "no glTF/GLB success lines: $(cat "$work/export_gl.err")"
[[ -z $(running_outputs) ]] || fail "files beside the program: $(running_outputs)"

"$cli" export "$src" --game cod4 --out "$work/out2" --gdt-dir "$work/gdt" --tags-dir "$work/tags" \
  --format gdt,tags >"$work/export2.txt" 2>/dev/null || fail "export with --gdt-dir/--tags-dir"
grep -q "^$work/gdt/.*\.gdt$" "$work/export2.txt" || fail "GDT not in --gdt-dir: $(cat "$work/export2.txt")"
grep -q "^$work/tags/${name}_tags\.html$" "$work/export2.txt" || fail "tags not in --tags-dir"

# --- a model that fails to load writes nothing ---
mkdir -p "$work/broken"
cp -r "$work/sample/cod4/raw" "$work/broken/raw"
rm -f "$work/broken/raw/xmodelparts/"*
! "$cli" export "$work/broken/raw/xmodel/$name" --game cod4 --out "$work/out3" --format all \
  >"$work/export3.txt" 2>"$work/export3.err" || fail "an export of a model without its parts succeeded"
[[ ! -s $work/export3.txt ]] || fail "a failed load printed files: $(cat "$work/export3.txt")"
[[ -z $(find "$work/out3" -type f 2>/dev/null) ]] || fail "a failed load wrote files"
[[ -z $(running_outputs) ]] || fail "a failed load wrote beside the program"

# --- convert never writes over its input ---
image=$(find "$work/sample/cod4/raw/images" -name '*.iwi' | sort | head -1)
"$cli" convert "$image" --to dds --out "$work/in.dds" >/dev/null || fail "convert to dds"
mkdir -p "$work/sub"
ln -s "$work/in.dds" "$work/link.dds"
ln "$work/in.dds" "$work/hard.dds"
sum=$(md5sum <"$work/in.dds")
for spelling in "$work/sub/../in.dds" "$work/link.dds" "$work/hard.dds"; do
  ! "$cli" convert "$work/in.dds" --to dds --out "$spelling" >/dev/null 2>&1 ||
    fail "convert wrote over its input through $spelling"
  [[ $(md5sum <"$work/in.dds") == "$sum" ]] || fail "the input changed through $spelling"
done
cli_report "cli safety"
