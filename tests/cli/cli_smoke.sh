#!/usr/bin/env bash
# vantor-cli end to end: writes the bundled sample tree, runs `info --json`
# (and `info --json --geometry`) on every model in it and checks that the
# output parses and carries the documented keys, then checks the error object
# and exit status of a file that does not exist, `list`, `convert` and `iwd`.
#
#   cli_smoke.sh VANTOR_CLI PYTHON WORK_DIR [SAMPLES_DIR]
set -euo pipefail

cli=$1 python=$2 work=$3 samples=${4:-}
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"
"$cli" sample "$work/sample" >"$work/sample.log" 2>&1 || { cat "$work/sample.log" >&2; exit 1; }

checker=$(cat <<'PY'
import json, sys
path, want_game, geometry, model_file = sys.argv[1], sys.argv[2], sys.argv[3] == "1", sys.argv[4]
doc = json.load(open(path))
# The documented keys of the model, its lods, bones, surfaces and vertices.
assert {"name", "version", "game", "lod_count", "collision_lod", "physics_preset", "lods", "materials",
        "unique_materials", "surfaces", "bounds", "bones", "load_ms", "surface_load_ms"} <= set(doc), sorted(doc)
assert len(doc["lods"]) == 4 and all({"distance", "name"} <= set(l) for l in doc["lods"]), doc["lods"]
assert all(isinstance(m, list) for m in doc["materials"]) and len(doc["bounds"]["min"]) == len(doc["bounds"]["max"]) == 3
for b in doc["bones"]:
    assert {"index", "name", "parent"} <= set(b) and (len(b["position"]), len(b["rotation"])) == (3, 4), b
# Version-62 files are read with the Black Ops layout whatever the game;
# the sample's ported COD 4 model in the COD 5 tree is read with the COD 4
# layout once the switch is answered yes.
expected = "bo" if doc["version"] == 62 else "cod4" if want_game == "cod5" and "ported" in model_file else want_game
assert doc["game"] == expected, (doc["game"], expected)
assert doc["surfaces"], "no surfaces"
for s in doc["surfaces"]:
    assert {"vertex_count", "triangle_count", "weighted", "bone_table"} <= set(s), sorted(s)
    if geometry:
        assert (len(s["vertices"]), len(s["triangles"])) == (s["vertex_count"], s["triangle_count"])
        assert all(0 <= x < s["vertex_count"] for t in s["triangles"] for x in t), "a triangle past the vertices"
        v = s["vertices"][0]
        assert [len(v[k]) for k in ("position", "normal", "uv", "colour")] == [3, 3, 2, 4], v
        assert "primary_bone" in v and all(len(i) == 2 for i in v["influences"]), v
PY
)

models=0
for tree in "$work"/sample/*/; do
  tree=${tree%/}
  read -ra args <<<"$(game_args "$tree") --json"
  [[ ${args[0]} == --game ]] || { fail "no game known for sample tree $(basename "$tree")"; continue; }
  for model in "$tree"/raw/xmodel/*; do
    [[ -f $model ]] || continue
    models=$((models + 1))
    label="$(basename "$tree")/$(basename "$model")"
    for extra in "" --geometry; do
      out=$work/${label/\//-}$extra.json
      status_of "$cli" info "${args[@]}" ${extra:+"$extra"} "$model" >"$out" 2>"$out.err" </dev/null
      if [[ $status -ne 0 ]]; then
        head -c 2000 "$out" "$out.err" >&2
        fail "$label: vantor-cli info ${args[*]} $extra exited $status"
      elif ! "$python" -c "$checker" "$out" "${args[1]}" "${extra:+1}" "$(basename "$model")"; then
        fail "$label: JSON of info $extra is not as documented"
      fi
    done
  done
done
((models > 0)) || fail "the sample tree holds no models"

# A missing file: exit status 1 and the error object alone.
status_of "$cli" info --json "$work/no_such_dir/raw/xmodel/no_such_model" >"$work/missing.json" 2>/dev/null </dev/null
[[ $status -eq 1 ]] && "$python" -c '
import json, sys
doc = json.load(open(sys.argv[1]))
assert list(doc) == ["error"] and isinstance(doc["error"]["code"], int) and doc["error"]["text"]' "$work/missing.json" ||
  fail "info on a missing file exited $status, with $(head -c 300 "$work/missing.json")"

# list: the sample tree's models by game root, the names alone on standard
# output, and --filter handed to the listing (its rules, dotted names and
# status lines: tests/model/qor_loader_test.cpp).
listed=$("$cli" list "$work/sample/cod4" 2>/dev/null </dev/null | sort)
expected=$(find "$work/sample/cod4/raw/xmodel" -maxdepth 1 -type f ! -name '*.*' -printf '%f\n' | sort)
[[ -n $listed && $listed == "$expected" ]] || fail "list of the sample's cod4 root gave: $listed"
# Terms on the models' facts; a bad one is refused with status 2. On the real
# COD 4 tools' tree: the two models of more than 20 bones and of four levels.
filtered=$("$cli" list "$work/sample/cod4" --filter 'bones:>20 !crate' 2>/dev/null </dev/null)
[[ $filtered == fixture_soldier ]] || fail "list --filter 'bones:>20 !crate' gave: $filtered"
status_of "$cli" list "$work/sample/cod4" --filter 'lods:many' >/dev/null 2>"$work/bad_term.txt" </dev/null
[[ $status == 2 ]] && grep -q "bad search term 'lods:many'" "$work/bad_term.txt" || fail "a bad term exited $status"
if [[ -d $samples/cod4-xanim ]]; then
  listed=$("$cli" list "$samples/cod4-xanim" --anims --filter m16_ads 2>/dev/null </dev/null | tr '\n' ' ')
  [[ $listed == "viewmodel_m16_ads_down viewmodel_m16_ads_up " ]] || fail "list --anims gave: $listed"
  "$cli" list "$samples/cod4-xanim" --anims --filter 'bones:>2' >/dev/null 2>&1 </dev/null && fail "terms on animations"
fi
if [[ -d $samples/cod4-modtools ]]; then
  filtered=$("$cli" list "$samples/cod4-modtools" --filter 'bones:>20 lods:4' 2>/dev/null </dev/null)
  [[ $filtered == body_complete_sp_arab_regular_al_asad_dmg ]] || fail "terms on the tools' tree gave: $filtered"
fi

# Names as JSON: UTF-8 characters as themselves, other bytes as U+FFFD,
# control characters exact; as lines, control characters escaped, so that a
# name can neither retitle the terminal nor forge a line.
mkdir -p "$work/names"
for name in modèle_ü 'bad\xffname' 'esc\033]0;title\007' 'two\nlines'; do : >"$work/names/$(printf "$name")"; done
"$cli" list "$work/names" --json 2>/dev/null >"$work/names.json" </dev/null
"$python" - "$work/names.json" <<'PY' || fail "list --json does not carry UTF-8 names: $(head -c 300 "$work/names.json")"
import json, sys
names = sorted(json.load(open(sys.argv[1], encoding="utf-8"))["names"])
assert names == ["bad\ufffdname", "esc\x1b]0;title\x07", "modèle_ü", "two\nlines"], names
PY
"$cli" list "$work/names" 2>/dev/null >"$work/names.txt" </dev/null
[[ $(wc -l <"$work/names.txt") == 4 ]] && ! grep -q $'\033' "$work/names.txt" &&
  grep -qx 'two\\x0Alines' "$work/names.txt" || fail "list printed control characters raw: $(cat -v "$work/names.txt")"

# convert: an IWI to a TGA, and through a DDS file to the same TGA (to a
# DDS: cli_safety.sh), a file that is no IWI refused;
# iwd --index names the archive each image is read from (the first of two
# holding it), a pass copies the archives' images, and --check does not call
# the folder complete. (What is written: tests/imaging.)
root=$work/sample/cod4
image=$(find "$root/raw/images" -name '*.iwi' | sort | head -1)
"$cli" convert "$image" --to tga --out "$work/out.tga" >/dev/null || fail "convert to tga"
"$cli" convert "$image" --to dds --out "$work/out.dds" >/dev/null &&
  "$cli" convert "$work/out.dds" --to tga --out "$work/dds.tga" >/dev/null &&
  cmp -s "$work/out.tga" "$work/dds.tga" || fail "its DDS file converts to another TGA"
printf 'not an image' >"$work/bad.iwi"
! "$cli" convert "$work/bad.iwi" --to tga --out "$work/bad.tga" >/dev/null 2>&1 || fail "a file that is no IWI converted"
"$cli" iwd "$root" --index >"$work/index.txt" 2>/dev/null || fail "iwd --index failed"
for line in "sample_iwd_metal.iwi main/iw_00.iwd" "ui/sample_iwd_icon.iwi main/iw_01.iwd" "images: 5 in 2 archives"; do
  grep -qx "$line" "$work/index.txt" || fail "iwd --index: no '$line' in $(cat "$work/index.txt")"
done
before=$(find "$root/raw/images" -name '*.iwi' | wc -l)
"$cli" iwd "$root" </dev/null >"$work/iwd.log" 2>&1 || fail "iwd pass: $(cat "$work/iwd.log")"
(($(find "$root/raw/images" -name '*.iwi' | wc -l) >= before)) || fail "the pass lost images"
! "$cli" iwd "$root" --check >/dev/null 2>&1 || fail "--check calls the sample's images complete"

cli_report "cli_smoke ($models models)"
