#!/usr/bin/env bash
# vantor-cli anim on the real files (skipped without ../shared/samples):
# `anim info` of every sample animation of the three games (JSON that
# parses, bones and notes as the file holds them), a damaged file's error,
# a batch (`export --anims --all`) that goes on past a damaged file, and
# `anim export` of the COD 4 character's walk: the feet stay on the
# ground and the legs, spine and arms keep their lengths in every frame of
# its XANIM_EXPORT, its GLB passes the Khronos validator, and Blender
# (when installed) imports it as one action whose bones turn as ours.
#
#   cli_anims.sh VANTOR_CLI PYTHON WORK_DIR SAMPLES_DIR
set -euo pipefail
cli=$1 python=$2 work=$3 samples=$4
source "$(dirname "$0")/cli_common.sh"
here=$(cd "$(dirname "$0")" && pwd)
cli_setup "$work"
[[ -d $samples/cod4-xanim ]] || { echo "SKIP: no $samples"; exit 0; }

count=0
for file in "$samples"/*-xanim/raw/xanim/*; do
  "$cli" anim info "$file" --json >"$work/info.json" 2>"$work/info.err" || fail "anim info $file: $(cat "$work/info.err")"
  "$python" -c '
import json, sys
d = json.load(open(sys.argv[1]))
assert d["bones"] and d["frame_rate"] > 0 and d["keyed_frames"] >= d["frames"], d
assert all(0 <= n["frame"] <= d["keyed_frames"] for n in d["notetracks"]), d["notetracks"]' "$work/info.json" ||
    fail "anim info --json of $file"
  count=$((count + 1))
done
((count == 23)) || fail "$count sample animations"
head -c 40 "$samples/cod4-xanim/raw/xanim/walk_lowready_f" >"$work/cut_walk"
status_of "$cli" anim info "$work/cut_walk" >/dev/null 2>"$work/cut.err"
[[ $status == 1 ]] && grep -q "cut_walk" "$work/cut.err" || fail "a cut file exited $status: $(cat "$work/cut.err")"

# A batch of a root's animations: a cut one fails (status 1), the rest
# are written.
mkdir -p "$work/root/raw/xanim"
cp "$samples/cod4-xanim/raw/xanim/viewmodel_m16_fire" "$work/cut_walk" "$work/root/raw/xanim/"
status_of "$cli" export --anims --all "$work/root" --model "$samples/cod4-modtools/raw/xmodel/viewhands_op_force" \
  --game cod4 --format glb --out "$work/batch" >"$work/batch.out" 2>"$work/batch.err"
[[ $status == 1 && $(cat "$work/batch.out") == "$work/batch/viewmodel_m16_fire.glb" ]] && grep -q cut_walk "$work/batch.err" ||
  fail "export --anims --all exited $status with: $(cat "$work/batch.out" "$work/batch.err")"

body=$samples/cod4-modtools/raw/xmodel/body_complete_sp_arab_regular_al_asad_dmg
"$cli" anim export "$samples/cod4-xanim/raw/xanim/walk_lowready_f" --model "$body" --game cod4 \
  --format xanim_export,glb --out "$work/out" >"$work/export.out" 2>"$work/export.err" ||
  fail "anim export: $(cat "$work/export.err")"
"$cli" export "$body" --game cod4 --format xe --out "$work/model" >/dev/null 2>&1 || fail "export of the body"
"$python" - "$work/out/walk_lowready_f.XANIM_EXPORT" "$(find "$work/model" -name '*.XMODEL_EXPORT' | head -n 1)" <<'PY' ||
import math, re, sys
anim, model = (open(path, encoding="latin1").read() for path in sys.argv[1:3])
parts = re.findall(r'^PART \d+ "(.*)"', anim, re.M)
names = {int(i): n for i, p, n in re.findall(r'^BONE (\d+) (-?\d+) "(.*)"', model, re.M)}
parent = {n: names.get(int(p)) for i, p, n in re.findall(r'^BONE (\d+) (-?\d+) "(.*)"', model, re.M)}
bind = {names[int(i)]: tuple(map(float, (x, y, z)))
        for i, x, y, z in re.findall(r'^BONE (\d+)\r?\nOFFSET (\S+), (\S+), (\S+)', model, re.M)}
frames = [{parts[i]: tuple(map(float, o)) for i, o in enumerate(re.findall(r'^OFFSET (\S+) (\S+) (\S+)', block, re.M))}
          for block in anim.split("FRAME ")[1:]]
assert len(frames) == 80, len(frames)
limbs = re.compile(r"j_(hip|knee|ankle|ball|spine\d*|neck|head|shoulder|elbow|wrist)(_le|_ri)?$")
worst = (0, "")
for bone, up in parent.items():
    if not limbs.match(bone) or up not in bind or bone not in frames[0]:
        continue
    length = math.dist(bind[bone], bind[up])
    for f in frames:
        worst = max(worst, (abs(math.dist(f[bone], f[up]) - length), bone))
assert worst[0] < 0.5, worst
for foot in ("j_ball_le", "j_ball_ri"):
    lowest = min(f[foot][2] for f in frames)
    assert abs(lowest - bind[foot][2]) < 0.5, (foot, lowest, bind[foot][2])
assert worst[1], "no limb bones compared"
print("walk: lengths within %.3f (%s), feet on the ground" % worst)
PY
  fail "the walk's poses"
bash "$here/../export/gltf/validate.sh" "$work/out/walk_lowready_f.glb" >"$work/validate.out" 2>&1 ||
  fail "validator: $(cat "$work/validate.out")"
if command -v blender >/dev/null; then
  blender -b --factory-startup --python "$here/blender_anim.py" -- "$work/out/walk_lowready_f.glb" \
    "$work/out/walk_lowready_f.XANIM_EXPORT" 80 30 >"$work/blender.out" 2>&1 ||
    fail "Blender: $(tail -n 5 "$work/blender.out")"
  grep "blender_anim:" "$work/blender.out" || true
else
  echo "SKIP: the Blender part: Blender is not installed"
fi
cli_report cli_anims
