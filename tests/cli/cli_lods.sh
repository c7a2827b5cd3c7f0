#!/usr/bin/env bash
# Every level of detail from the command line. `--lod` refuses what is not a
# level; on the real files (skipped without ../shared/samples) `export --lod
# all` writes each level's XMODEL_EXPORT, which holds the bones, poses,
# vertices and faces of the mod tools' own export of that level, and the
# GDT entry the tools compile all levels from, field by field.
#
#   cli_lods.sh VANTOR_CLI PYTHON WORK_DIR SAMPLES_DIR
set -euo pipefail
cli=$1 python=$2 work=$3 samples=$4
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"
"$cli" sample "$work/sample" >sample.log 2>&1 || { cat sample.log >&2; exit 1; }
soldier=$(find "$work/sample" -path '*cod4*/raw/xmodel/*' -type f | head -1)

status_of "$cli" info --lod 4 "$soldier" >/dev/null 2>err.txt
[[ $status -eq 2 ]] && grep -q "from 0 to 3" err.txt || fail "info --lod 4: exit $status, $(cat err.txt)"
status_of "$cli" info --lod 3 "$soldier" >/dev/null 2>err.txt
[[ $status -eq 1 ]] && grep -q "no level 3" err.txt || fail "info --lod 3 of a one-level model: exit $status, $(cat err.txt)"

tools=$samples/cod4-modtools
[[ -d $tools ]] || { echo "SKIP: the real files ($tools is absent)"; cli_report cli_lods; exit 0; }
for model in body_complete_sp_arab_regular_al_asad_dmg weapon_m16_mp; do
  "$cli" export "$tools/raw/xmodel/$model" --game cod4 --lod all --format xe,gdt --no-sub-dir --out "$work/$model" \
    >"$model.txt" 2>"$model.err" || fail "export --lod all of $model: $(cat "$model.err")"
done
"$cli" info --json --lod 2 "$tools/raw/xmodel/weapon_m16_mp" >m16.json || fail "info --lod 2 of the M16"

"$python" - "$work" "$tools/model_export" <<'PY' || fail "the levels differ from the mod tools' exports"
import glob, itertools, json, re, sys
work, theirs = sys.argv[1], sys.argv[2]

def read_xe(path):
    text = open(path, encoding="latin-1").read()
    bones = re.findall(r'^BONE \d+ -?\d+ "([^"]*)"', text, re.M)
    def axes(i):
        block = re.search(r"^BONE %d\nOFFSET (.*)\nSCALE .*\nX (.*)\nY (.*)\nZ (.*)" % i, text, re.M).groups()
        return [[float(x) for x in row.split(",")] for row in block]
    poses = [axes(i) for i in range(len(bones))]
    verts = [[float(x) for x in m.split(",")] for m in re.findall(r"^VERT \d+\nOFFSET (.*)", text, re.M)]
    faces = int(re.search(r"^NUMFACES (\d+)", text, re.M).group(1))
    # In the root bone's frame: the compiler re-bases a model on its root.
    o, x, y, z = poses[0]
    turn = lambda v: tuple(sum(v[k] * a[k] for k in range(3)) for a in (x, y, z))
    local = [turn([p[k] - o[k] for k in range(3)]) for p in verts]
    poses = [[turn([p[0][k] - o[k] for k in range(3)])] + [turn(a) for a in p[1:]] for p in poses]
    return bones, poses, local, faces


def near(p, pool):  # a vertex of the pool within 0.01 on each axis
    cell = tuple(round(c / 0.01) for c in p)
    return any(max(abs(a - b) for a, b in zip(p, q)) <= 0.01 for d in itertools.product((-1, 0, 1), repeat=3)
               for q in pool.get(tuple(c + e for c, e in zip(cell, d)), ()))

pairs = [("weapon_m16_mp", 0, "weapon_m16_mp_high"), ("weapon_m16_mp", 1, "weapon_m16_mp_med"),
         ("weapon_m16_mp", 2, "weapon_m16_mp_low")]
pairs += [("body_complete_sp_arab_regular_al_asad_dmg", i, "body_complete_sp_arab_regular_al_asad_dmg_lod%d" % i)
          for i in (1, 2, 3)]
for model, level, tool_name in pairs:
    # Ours are named after the level's slot: the tools' name and a "1".
    assert len(glob.glob("%s/%s/*.XMODEL_EXPORT" % (work, model))) == (3 if model == "weapon_m16_mp" else 4)
    b1, p1, v1, f1 = read_xe("%s/%s/%s1.XMODEL_EXPORT" % (work, model, tool_name))
    b2, p2, v2, f2 = read_xe("%s/%s.XMODEL_EXPORT" % (theirs, tool_name))
    assert [b.lower() for b in b1] == [b.lower() for b in b2], (tool_name, "bones")
    # The character's sources pose its left leg apart from the compiled
    # bones (by up to 0.33), which every level shares: the M16's poses only.
    for i, (a, b) in enumerate(zip(p1, p2) if model == "weapon_m16_mp" else ()):
        assert all(abs(x - y) <= 0.01 for ra, rb in zip(a, b) for x, y in zip(ra, rb)), (tool_name, "pose", b1[i])
    pool = {}
    for p in v1:
        pool.setdefault(tuple(round(c / 0.01) for c in p), []).append(p)
    missing = sum(not near(p, pool) for p in v2)
    assert missing <= len(v2) // 100, (tool_name, missing, "of", len(v2), "vertices not found")
    assert f2 * 0.95 - 2 <= f1 <= f2, (tool_name, "faces", f1, f2)  # the compiler drops tiny triangles

def gdt_entry(path, name):
    text = open(path, encoding="latin-1").read()
    body = re.search(r'"%s" \( "xmodel.gdf" \)\s*\{(.*?)\}' % re.escape(name), text, re.S).group(1)
    return dict(re.findall(r'"([^"]+)" "((?:[^"\\]|\\.)*)"', body))
ours = gdt_entry(work + "/body_complete_sp_arab_regular_al_asad_dmg/GDTs/body_complete_sp_arab_regular_al_asad_dmg.gdt",
                 "body_complete_sp_arab_regular_al_asad_dmg")
tools = gdt_entry(theirs + "/character_arab_regular_sp.gdt", "body_complete_sp_arab_regular_al_asad")
for key in ("type", "highLodDist", "mediumLodDist", "lowLodDist", "lowestLodDist", "collisionLOD", "physicsPreset"):
    assert ours[key] == tools[key], (key, ours[key], tools[key])
for key in ("filename", "mediumLod", "lowLod", "lowestLod"):  # the same level's file, in our folder
    mine = ours[key].split("\\")[-1].lower().rsplit(".", 1)[0][:-1]  # the slot names end in a "1"
    assert mine == tools[key].split("\\")[-1].lower().rsplit(".", 1)[0], (key, mine)

doc = json.load(open(work + "/m16.json"))
assert doc["shown_lod"] == 2 and sum(s["vertex_count"] for s in doc["surfaces"]) < 100, doc["surfaces"]
PY
cli_report cli_lods
