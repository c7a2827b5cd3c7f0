#!/usr/bin/env bash
# vantor-cli convert and iwd end to end on the sample tree: an IWI converts
# to a TGA and a DDS that ImageMagick reads at the image's size, so does the
# games' cube map (six faces; a strip of them), a bad input is refused, and
# the IWD pass copies the archives' images once.
#
#   cli_images_smoke.sh VANTOR_CLI WORK_DIR
set -euo pipefail
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
export VANTOR_CONFIG_DIR=$work/config
"$cli" sample "$work/sample" >/dev/null
root=$work/sample/cod4
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

image=$(find "$root/raw/images" -name '*.iwi' | sort | head -1)
"$cli" convert "$image" --to tga --out "$work/out.tga" >/dev/null || fail "convert to tga"
"$cli" convert "$image" --to dds --out "$work/out.dds" >/dev/null || fail "convert to dds"
if command -v identify >/dev/null; then
  a=$(identify -format '%wx%h' "$work/out.tga")
  b=$(identify -format '%wx%h' "$work/out.dds[0]")
  [[ $a == "$b" && -n $a ]] || fail "TGA $a and DDS $b differ in size"
fi
# The games' skybox cube map (skipped without ../shared/samples): a DDS of
# six 512 x 512 faces and a TGA strip of them.
sky=$(dirname "$0")/../../../shared/samples/bo-ville/raw/images/skybox_zom_moon_ft.iwi
if [[ -f $sky ]] && command -v identify >/dev/null; then
  "$cli" convert "$sky" --to dds --out "$work/sky.dds" >/dev/null || fail "convert the cube map to dds"
  "$cli" convert "$sky" --to tga --out "$work/sky.tga" >/dev/null || fail "convert the cube map to tga"
  faces=$(identify -format '%wx%h\n' "$work/sky.dds" | sort | uniq -c | tr -s ' ')
  [[ $faces == " 6 512x512" ]] || fail "the cube map DDS reads as '$faces'"
  [[ $(identify -format '%wx%h' "$work/sky.tga") == 3072x512 ]] || fail "the cube map TGA is no strip of six faces"
fi

printf 'not an image' >"$work/bad.iwi"
if "$cli" convert "$work/bad.iwi" --to tga --out "$work/bad.tga" >/dev/null 2>&1; then
  fail "a file that is no IWI converted"
fi

before=$(find "$root/raw/images" -name '*.iwi' | wc -l)
"$cli" iwd "$root" </dev/null >"$work/iwd1.log" 2>&1 || fail "first iwd pass: $(cat "$work/iwd1.log")"
after=$(find "$root/raw/images" -name '*.iwi' | wc -l)
((after >= before)) || fail "the pass lost images"
snapshot=$(find "$root/raw/images" -type f -printf '%p %s %T@\n' | sort)
"$cli" iwd "$root" </dev/null >"$work/iwd2.log" 2>&1 || fail "second iwd pass"
[[ $(find "$root/raw/images" -type f -printf '%p %s %T@\n' | sort) == "$snapshot" ]] ||
  fail "the second pass changed raw/images"
if "$cli" iwd "$root" --check >/dev/null 2>&1; then
  fail "--check calls a folder of $after images complete"
fi
echo "cli images smoke: all checks passed"
