#!/usr/bin/env bash
# The window under Xvfb over a game whose ".iwi" images are only inside
# "main/*.iwd" (packed by Python's zipfile, not by our fixture writer): the
# sample soldier's screenshot is pixel for pixel the one drawn from loose
# images, and differs from the one drawn with those images gone.
#
#   archive_window_test.sh VANTOR VANTOR_CLI PYTHON WORK_DIR
set -euo pipefail

vantor=$1
cli=$2
python=$3
work=$4

# shellcheck source=tests/window/window_common.sh
source "$(dirname "$0")/window_common.sh"
window_setup "$work" compare

"$cli" sample "$work/sample" >/dev/null
"$cli" settings set Export/export_scale_new 1.0 2>/dev/null
"$cli" settings set OpenGl/draw_bones 0 2>/dev/null
for tree in archived missing; do
  cp -r "$work/sample/cod4" "$work/$tree"
done
# The DDS twin stays loose: archives hold ".iwi" images only.
"$python" - "$work/archived/raw/images" "$work/archived/main/iw_02.iwd" <<'PY'
import os, sys, zipfile
images, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(images)):
        if name.endswith(".iwi"):
            z.write(os.path.join(images, name), "images/" + name)
            os.remove(os.path.join(images, name))
PY
rm -f "$work"/missing/raw/images/*.iwi
[[ -z $(find "$work/archived/raw/images" -name '*.iwi') ]] || fail "images were left loose"

# shot NAME MODEL: a screenshot after 5 frames, as PPM.
shot() {
  rm -f "$1.dds"
  if ! timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$vantor" --no-gui --frames 5 --screenshot "$1.dds" "$2" \
      >"$1.log" 2>&1; then
    fail "vantor $2 did not finish cleanly"
    cat "$1.log" >&2
    return 0
  fi
  convert "$1.dds" "$1.ppm"
}
shot loose "$work/sample/cod4/raw/xmodel/fixture_soldier"
shot archived "$work/archived/raw/xmodel/fixture_soldier"
shot missing "$work/missing/raw/xmodel/fixture_soldier"

# Pixels that differ (ImageMagick's absolute error count).
differing() { compare -metric AE "$1.ppm" "$2.ppm" null: 2>&1 || true; }
[[ $(differing loose archived) == 0 ]] || fail "the archived images draw $(differing loose archived) other pixels"
[[ $(differing loose missing) != 0 ]] || fail "the textures do not show in the screenshots at all"
grep -q "IwdIndex:: .* images in 3 archives" Log.txt 2>/dev/null ||
  grep -rq "IwdIndex:: .* images in 3 archives" . || fail "no index of the three archives was built"

if ((failures)); then
  echo "archive window test: $failures failure(s)" >&2
  exit 1
fi
echo "archive window test: all checks passed"
