# The window over a game whose ".iwi" images are only inside "main/*.iwd"
# (packed by Python's zipfile, not by our fixture writer): the sample
# soldier's screenshot is pixel for pixel the one drawn from loose images,
# and differs from the one drawn with those images gone.
needs compare
settings Export/export_scale_new=1.0 OpenGl/draw_bones=0
for tree in archived missing; do cp -r "$work/sample/cod4" "$work/$tree"; done
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

shot loose "$soldier"
for tree in archived missing; do shot $tree "$work/$tree/raw/xmodel/fixture_soldier"; done

# Pixels that differ (ImageMagick's absolute error count).
differing() { compare -metric AE "$1.ppm" "$2.ppm" null: 2>&1 || true; }
[[ $(differing loose archived) == 0 ]] || fail "the archived images draw $(differing loose archived) other pixels"
[[ $(differing loose missing) != 0 ]] || fail "the textures do not show in the screenshots at all"
grep -q "IwdIndex:: .* images in 3 archives" Log.txt 2>/dev/null ||
  grep -rq "IwdIndex:: .* images in 3 archives" . || fail "no index of the three archives was built"

