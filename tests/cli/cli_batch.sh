#!/usr/bin/env bash
# vantor-cli export over many models at once: each sample tree (the bundled
# one and the real ones in ../shared/samples) in one command writes the same
# bytes as one command per model; --skip-existing leaves current models
# alone and exports a model again once a source is touched; damaged models
# fail alone (exit 1, both listed, --json per model); a Ctrl-C in the
# middle leaves no final file that differs from a whole run.
#
#   cli_batch.sh VANTOR_CLI VANTOR_BATCH_TREE PYTHON WORK_DIR
set -euo pipefail
cli=$1 make_tree=$2 python=$3 work=$4
source "$(dirname "$0")/cli_common.sh"
cli_setup "$work"
"$cli" sample "$work/sample" >/dev/null 2>&1 || { echo "FAIL: vantor-cli sample" >&2; exit 1; }

# Two output trees hold the same files with the same bytes, but for the
# surface read's time that the scene, OBJ and XMODEL_EXPORT headers carry
# ("Surface Load Time: 4.00 ms"), which no two runs share. With a third
# argument, only the files of the first tree are looked at (a run that was
# stopped holds fewer), and hidden temporary files are left out.
same_files() {
  "$python" - "$@" <<'PY'
import os, re, sys
a, b, subset = sys.argv[1], sys.argv[2], len(sys.argv) > 3
def files(root):
    return {os.path.relpath(os.path.join(d, n), root) for d, _, names in os.walk(root) for n in names
            if not (subset and n.startswith("."))}
fa, fb = files(a), files(b)
problems = [] if subset and fa <= fb or fa == fb else [f"only in one: {sorted(fa ^ fb)[:5]}"]
time = re.compile(rb"Surface Load Time: [0-9.]+ ?ms")
for f in sorted(fa & fb):
    x, y = (open(os.path.join(r, f), "rb").read() for r in (a, b))
    if x != y and time.sub(b"", x) != time.sub(b"", y):
        problems.append(f"{f} differs")
print("\n".join(problems[:10]))
sys.exit(1 if problems else 0)
PY
}

# 1. One command per tree against one command per model.
trees=("$work"/sample/*/)
samples=$(dirname "$0")/../../../shared/samples
[[ -d $samples ]] && trees+=("$samples"/*/)
for tree in "${trees[@]}"; do
  tree=${tree%/}
  [[ -d $tree/raw/xmodel ]] || continue
  label=$(basename "$tree")
  read -ra g <<<"$(game_args "$tree")"
  loop_failed=()
  for model in "$tree"/raw/xmodel/*; do
    [[ -f $model && $(basename "$model") != *.* ]] || continue
    "$cli" export "$model" "${g[@]}" --format all --out "$work/loop/$label" </dev/null \
      >/dev/null 2>>"$work/loop-$label.err" || loop_failed+=("$model")
  done
  status_of "$cli" export --all "$tree" "${g[@]}" --format all --out "$work/batch/$label" -j 2 --json </dev/null \
    >"$work/batch-$label.json" 2>"$work/batch-$label.err"
  expected=$(( ${#loop_failed[@]} > 0 ? 1 : 0 ))
  [[ $status -eq $expected ]] || fail "$label: batch exited $status, the loop had ${#loop_failed[@]} failures"
  same_files "$work/loop/$label" "$work/batch/$label" >"$work/diff-$label.txt" 2>&1 ||
    fail "$label: batch files differ from one command per model: $(head -c 600 "$work/diff-$label.txt")"
  failed_listed=$("$python" -c '
import json, sys
doc = json.load(open(sys.argv[1]))
print("\n".join(sorted(m["path"] for m in doc["models"] if m["status"] == "failed")))' "$work/batch-$label.json")
  [[ $failed_listed == "$(printf '%s\n' "${loop_failed[@]}" | sed '/^$/d' | sort)" ]] ||
    fail "$label: batch failures [$failed_listed] are not the loop's [${loop_failed[*]}]"
done

# 2. --skip-existing: nothing written on a second run; a touched source
# brings its model back, once.
root=$work/sample/cod4
out=$work/batch/cod4
stamps() { find "$out" -type f -printf '%P %T@\n' | sort; }
skip_run() {
  "$cli" export --all "$root" --game cod4 --format all --out "$out" --skip-existing --json </dev/null \
    >"$work/skip$1.json" 2>/dev/null || fail "--skip-existing run $1 exited $?"
}
before=$(stamps)
skip_run 1
[[ $(stamps) == "$before" ]] || fail "--skip-existing changed files: $(diff <(echo "$before") <(stamps) | head -5)"
sleep 0.05
touch "$(find "$root/raw/xmodelsurfs" -iname 'fixture_soldier*' | head -1)"
skip_run 2
skip_run 3
"$python" - "$work"/skip{1,2,3}.json <<'PY' || fail "--skip-existing: $(head -c 900 "$work"/skip?.json)"
import json, sys
docs = [json.load(open(path)) for path in sys.argv[1:]]
first, second, third = ({m["name"]: m["status"] for m in doc["models"]} for doc in docs)
assert first and set(first.values()) == {"skipped"} and docs[0]["skipped"] == len(first), first
assert docs[0]["failed"] == 0 and second.pop("fixture_soldier") == "exported", second
assert second and set(second.values()) == {"skipped"}, second
assert set(third.values()) == {"skipped"}, third
PY
same_files "$work/loop/cod4" "$out" >/dev/null || fail "the export after a touch differs from the first"

# 3. Two damaged models among good ones: the others are exported, exit 1,
# both named in the summary and in the report.
cp -r "$root" "$work/damaged"
head -c 40 "$root/raw/xmodel/fixture_crate" >"$work/damaged/raw/xmodel/fixture_crate"
for surfs in $(find "$work/damaged/raw/xmodelsurfs" -iname 'fixture_soldier*'); do
  head -c $(( $(stat -c %s "$surfs") / 2 )) "$surfs" >"$surfs.cut" && mv "$surfs.cut" "$surfs"
done
# (The folder itself this time, and the count attached to -j.)
status_of "$cli" export "$work/damaged/raw/xmodel" --game cod4 --format xe,obj --out "$work/damaged_out" -j2 --json \
  </dev/null >"$work/damaged.json" 2>"$work/damaged.err"
[[ $status -eq 1 ]] || fail "two damaged models: exit $status, not 1"
for name in fixture_crate fixture_soldier; do
  grep -q "^failed: .*/$name: " "$work/damaged.err" || fail "summary does not list $name: $(tail -5 "$work/damaged.err")"
done
"$python" - "$work/damaged.json" <<'PY' || fail "--json of the damaged tree: $(head -c 600 "$work/damaged.json")"
import json, os, sys
doc = json.load(open(sys.argv[1]))
status = {os.path.basename(m["path"]): m for m in doc["models"]}
assert {k for k, m in status.items() if m["status"] == "failed"} == {"fixture_crate", "fixture_soldier"}, status
assert all(m["error"] for m in doc["models"] if m["status"] == "failed")
good = [m for m in doc["models"] if m["status"] == "exported"]
assert good and all(m["written"] and all(os.path.isfile(w) for w in m["written"]) for m in good)
assert doc["failed"] == 2 and doc["exported"] == len(good) and doc["stopped"] is False
PY

for bad in "-j 0" "-j x" "--all $work/no_such_root"; do
  # shellcheck disable=SC2086
  status_of "$cli" export "$root/raw/xmodel" --format xe --out "$work/bad" $bad </dev/null >/dev/null 2>&1
  [[ $status -eq 2 ]] || fail "export with $bad exited $status, not 2"
done

# 4. A Ctrl-C in the middle of a tree of 24 generated models lets the
# running models finish and starts no more: exit 130, no temporary file
# left, and every final file that of a whole run. (A kill mid-write:
# tests/export/exporters_test.cpp, FullDiskTest.)
"$make_tree" "$work/many" 24 6 12000 || { echo "FAIL: vantor_batch_tree" >&2; exit 1; }
many=(export --all "$work/many" --game cod4 --format xe,obj,ma -j 2)
"$cli" "${many[@]}" --out "$work/many_ref" </dev/null >/dev/null 2>&1 || fail "reference run of the generated tree"
# (The program itself in the background, so that the signal reaches it.)
"$cli" "${many[@]}" --out "$work/many_int" </dev/null >"$work/int.out" 2>"$work/int.err" &
pid=$!
# Once the first model is out, the next ones are being written.
for _ in $(seq 1 600); do
  [[ $(grep -c '^\[' "$work/int.err" 2>/dev/null || true) -ge 2 ]] && break
  sleep 0.02
done
kill -s INT "$pid"
status_of wait "$pid"
[[ $status -eq 130 ]] || fail "Ctrl-C: exit $status, not 130"
[[ -z $(find "$work/many_int" -type f -name '.*vantor-tmp*') ]] || fail "Ctrl-C left temporary files"
grep -q 'not started (stopped)' "$work/int.err" || fail "Ctrl-C: no summary: $(tail -3 "$work/int.err")"
(($(find "$work/many_int" -type f | wc -l) < $(find "$work/many_ref" -type f | wc -l))) ||
  fail "Ctrl-C came too late to stop anything"
same_files "$work/many_int" "$work/many_ref" subset >"$work/int.diff" ||
  fail "Ctrl-C: final files differ from a whole run: $(head -c 400 "$work/int.diff")"

# 5. Two models of one name from two trees: the first is exported, the
# second fails before a file is written, named with the first.
status_of "$cli" export "$work/sample/cod4/raw/xmodel/fixture_crate" "$work/sample/cod5/raw/xmodel/FIXTURE_CRATE" \
  --game cod4 --format xe,gdt --out "$work/clash" --json </dev/null >"$work/clash.json" 2>/dev/null
[[ $status -eq 1 ]] || fail "two models of one name: exit $status, not 1"
"$python" - "$work/clash.json" <<'PY' || fail "two models of one name: $(head -c 600 "$work/clash.json")"
import json, sys
first, second = json.load(open(sys.argv[1]))["models"]
assert first["status"] == "exported" and second["status"] == "failed", (first, second)
assert "already in this batch" in second["error"] and "cod4/raw/xmodel/fixture_crate" in second["error"], second
PY

cli_report cli_batch
