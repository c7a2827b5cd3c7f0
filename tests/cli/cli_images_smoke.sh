#!/usr/bin/env bash
# vantor-cli convert and iwd end to end on the sample tree: an IWI converts
# to a TGA and a DDS that ImageMagick reads at the image's size, a bad input
# is refused, and the IWD pass copies the archives' images (cube maps and a
# second pass are pinned by the unit tests), and `--index` names the archive
# each image would be read from.
#
#   cli_images_smoke.sh VANTOR_CLI WORK_DIR
set -euo pipefail
cli=$1
work=$2
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"
"$cli" sample "$work/sample" >/dev/null
root=$work/sample/cod4

image=$(find "$root/raw/images" -name '*.iwi' | sort | head -1)
"$cli" convert "$image" --to tga --out "$work/out.tga" >/dev/null || fail "convert to tga"
"$cli" convert "$image" --to dds --out "$work/out.dds" >/dev/null || fail "convert to dds"
if command -v identify >/dev/null; then
  a=$(identify -format '%wx%h' "$work/out.tga")
  b=$(identify -format '%wx%h' "$work/out.dds[0]")
  [[ $a == "$b" && -n $a ]] || fail "TGA $a and DDS $b differ in size"
fi
printf 'not an image' >"$work/bad.iwi"
if "$cli" convert "$work/bad.iwi" --to tga --out "$work/bad.tga" >/dev/null 2>&1; then
  fail "a file that is no IWI converted"
fi

# The archives' index: the image in both archives is read from the first.
"$cli" iwd "$root" --index >"$work/index.txt" 2>/dev/null || fail "iwd --index failed"
grep -qx "sample_iwd_metal.iwi main/iw_00.iwd" "$work/index.txt" || fail "--index: $(cat "$work/index.txt")"
grep -qx "ui/sample_iwd_icon.iwi main/iw_01.iwd" "$work/index.txt" || fail "--index: $(cat "$work/index.txt")"
grep -qx "images: 5 in 2 archives" "$work/index.txt" || fail "--index: $(tail -1 "$work/index.txt")"

before=$(find "$root/raw/images" -name '*.iwi' | wc -l)
"$cli" iwd "$root" </dev/null >"$work/iwd1.log" 2>&1 || fail "first iwd pass: $(cat "$work/iwd1.log")"
after=$(find "$root/raw/images" -name '*.iwi' | wc -l)
((after >= before)) || fail "the pass lost images"
if "$cli" iwd "$root" --check >/dev/null 2>&1; then
  fail "--check calls a folder of $after images complete"
fi
cli_report "cli images smoke"
