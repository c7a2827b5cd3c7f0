# Run by cli_anims.sh inside Blender: imports the GLB named after "--" and
# checks, against the XANIM_EXPORT written beside it from the same
# animation, that Blender made one action over the animation's frames and
# that the bones turn as ours do: for three frames, each bone's turn from
# frame 0 (the angle of R_f R_0^T, which no fixed change of axes alters)
# within 0.5 degrees. Exits 1 otherwise.
#   blender -b --factory-startup --python blender_anim.py -- GLB XANIM_EXPORT FRAMES RATE
import math, re, sys

import numpy

# Blender 3.4's importer still reads numpy.bool, which numpy 1.24 removed.
if "bool" not in numpy.__dict__:
    numpy.bool = bool

import bpy

glb, xe, frames, rate = sys.argv[sys.argv.index("--") + 1:][:4]
frames, rate = int(frames), int(rate)
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.context.scene.render.fps = rate
bpy.ops.import_scene.gltf(filepath=glb)

actions = list(bpy.data.actions)
assert len(actions) == 1, [a.name for a in actions]
start, end = actions[0].frame_range
assert round(end - start) == frames - 1, (start, end, frames)

text = open(xe, encoding="latin1").read()
parts = re.findall(r'^PART \d+ "(.*)"', text, re.M)
ours = []  # per frame: bone -> rotation matrix (columns: the bone's axes)
for block in text.split("\nFRAME ")[1:]:
    axes = re.findall(r'^X (\S+) (\S+) (\S+)\s+Y (\S+) (\S+) (\S+)\s+Z (\S+) (\S+) (\S+)', block, re.M)
    ours.append({parts[i]: [[float(a[r + 3 * c]) for c in range(3)] for r in range(3)] for i, a in enumerate(axes)})


def turn(a, b):  # degrees of a b^T, for 3x3 lists
    m = [[sum(a[r][k] * b[c][k] for k in range(3)) for c in range(3)] for r in range(3)]
    s = math.sqrt((m[2][1] - m[1][2]) ** 2 + (m[0][2] - m[2][0]) ** 2 + (m[1][0] - m[0][1]) ** 2) / 2
    return math.degrees(math.atan2(s, (m[0][0] + m[1][1] + m[2][2] - 1) / 2))


armature = next(o for o in bpy.data.objects if o.type == "ARMATURE")
bones = [b for b in ("j_knee_le", "j_hip_ri", "j_elbow_ri", "j_spine4", "j_wrist_le") if b in armature.pose.bones]
assert len(bones) >= 3, list(armature.pose.bones.keys())[:10]


def blender_pose(frame):
    bpy.context.scene.frame_set(int(round(start)) + frame)
    return {b: [list(r[:3]) for r in armature.pose.bones[b].matrix.to_3x3()] for b in bones}


first = blender_pose(0)
worst = 0.0
for f in (frames // 4, frames // 2, frames - 1):
    theirs = blender_pose(f)
    for b in bones:
        worst = max(worst, abs(turn(theirs[b], first[b]) - turn(ours[f][b], ours[0][b])))
print("blender_anim: one action of %d frames, bones turn as ours within %.3f degrees" % (frames, worst))
sys.exit(0 if worst < 0.5 else 1)
