#!/usr/bin/env bash
# The model list over a game root of 20,000 models (names made up from the
# games' words, empty files), each figure the median and the spread
# (min-max) of RUNS runs (default 7):
#   listing    the whole `vantor-cli list ROOT` process beside `ls -f` of
#              the same folder (the floor: one pass over the directory),
#              run in turn, with the ratio of the medians
#   window     vantor under Xvfb with the root set: the loader's own line
#              ("... models listed and shown in N ms": from the start of
#              the listing to the names in the list box, at the frame cap),
#              and the longest frame (wall and main-thread CPU, from
#              VANTOR_FRAME_TRACE) over a run that lists at start and then
#              types nine letters into the search box
#
#   bench/list_bench.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:-build-release}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
runs=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config
cd "$work"

root=$work/root
mkdir -p "$root/raw/xmodel"
python3 - "$root/raw/xmodel" <<'PY'
import os, random, sys
random.seed(1)
words = ["viewmodel", "weapon", "body", "head", "vehicle", "foliage", "prop", "com", "ch", "mil",
         "dest", "tree", "rock", "building", "door", "window", "crate", "barrel", "fence", "wall"]
for i in range(20000):
    name = "_".join(random.choice(words) for _ in range(random.randint(2, 6))) + "_%05d" % i
    open(os.path.join(sys.argv[1], name), "w").close()
PY

stats() {
  sort -g | awk -v fmt="${1:-%.2f}" '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf fmt " (" fmt "-" fmt ")\n", m, v[1], v[NR] }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms() { python3 -c 'import sys; print("%.3f" % ((float(sys.argv[2]) - float(sys.argv[1])) * 1000))' "$1" "$2"; }

ls -f "$root/raw/xmodel" >/dev/null  # warm the directory cache
: >list.ms
: >ls.ms
for ((i = 0; i < runs; ++i)); do
  a=$(date +%s.%N); "$build/vantor-cli" list "$root" >/dev/null 2>&1; b=$(date +%s.%N)
  ms "$a" "$b" >>list.ms
  a=$(date +%s.%N); ls -f "$root/raw/xmodel" >/dev/null; b=$(date +%s.%N)
  ms "$a" "$b" >>ls.ms
done
names=$("$build/vantor-cli" list "$root" 2>/dev/null | wc -l)
echo "listing $names models, $runs runs:"
echo "  vantor-cli list  $(stats <list.ms) ms"
echo "  ls -f            $(stats <ls.ms) ms"
echo "  ratio            $(python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$(median <list.ms)" "$(median <ls.ms)")x"

"$build/vantor-cli" settings set Folders/Cod4Path "$root" 2>/dev/null
: >shown.ms
: >frame.ms
: >frame_cpu.ms
steps='
  sleep 2
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 300 300 sleep 0.3 click 1 sleep 0.3
  xdotool mousemove --window "$win" 600 558 sleep 0.3 click 1 sleep 0.3
  xdotool type --delay 60 "viewmodel"
  sleep 0.5
  xdotool key Escape sleep 0.3
  xdotool key Escape'
for ((i = 0; i < runs; ++i)); do
  rm -f Log.txt
  VANTOR_FRAME_TRACE=$work/trace.txt timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" \
    bash "$here/../tests/window/drive_window.sh" run.log "$steps" "$build/vantor" --frames 100000 \
    || { echo "the window run failed" >&2; cat run.log >&2; exit 1; }
  sed -n 's/.*models listed and shown in \([0-9.]*\) ms.*/\1/p' Log.txt | head -1 >>shown.ms
  awk 'BEGIN { w = 0; c = 0 } { if ($1 > w) w = $1; if ($2 > c) c = $2 } END { print w; print c > "/dev/stderr" }' \
    trace.txt >>frame.ms 2>>frame_cpu.ms
done
echo "window, $runs runs (Xvfb, Mesa):"
echo "  names shown after        $(stats <shown.ms) ms"
echo "  longest frame, wall      $(stats <frame.ms) ms"
echo "  longest frame, main CPU  $(stats <frame_cpu.ms) ms"
