#!/usr/bin/env bash
# The model list over a game root of NAMES models (default 200,000; names
# made up from the games' words, empty files), each figure the median and
# the spread (min-max) of RUNS runs (default 7):
#   listing    the whole `vantor-cli list ROOT` process beside `ls -f` of
#              the same folder (the floor: one pass over the directory),
#              run in turn, with the ratio of the medians
#   window     vantor under Xvfb with the root set: the loader's own line
#              ("... models listed and shown in N ms": from the start of
#              the listing to the names in the list box, at the frame cap),
#              and the longest frame (wall and main-thread CPU, from
#              VANTOR_FRAME_TRACE) of each phase of a run:
#                fill     the listing at start, from the second frame (the
#                         first is the window's start-up) to the names shown
#                scroll   the wheel down and up over the list, the scroll
#                         block dragged down and up (no key: a key step
#                         selects a row, which loads it)
#                filter   nine letters typed into the search box
#                terms    " bones:>2" typed after them: the facts of every
#                         name read on the loader's thread (empty files:
#                         each refused as too small) until they are in
#                clear    the 18 characters deleted one by one, back to the
#                         whole list
#
# Several builds, comma-separated, run in turn within each run (the first
# one's listing is timed).
#
#   bench/list_bench.sh BUILD_DIR[,BUILD_DIR...] [RUNS] [NAMES]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
builds=()
IFS=, read -r -a dirs <<<"${1:-build-release}"
for dir in "${dirs[@]}"; do builds+=("$(cd "$dir" && pwd)"); done
build=${builds[0]}
here=$(cd "$(dirname "$0")" && pwd)
runs=${2:-7}
count=${3:-200000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_DIR=$work/config XDG_CACHE_HOME=$work/cache
cd "$work"

root=$work/root
mkdir -p "$root/raw/xmodel"
python3 - "$root/raw/xmodel" "$count" <<'PY'
import os, random, sys
random.seed(1)
words = ["viewmodel", "weapon", "body", "head", "vehicle", "foliage", "prop", "com", "ch", "mil",
         "dest", "tree", "rock", "building", "door", "window", "crate", "barrel", "fence", "wall"]
for i in range(int(sys.argv[2])):
    name = "_".join(random.choice(words) for _ in range(random.randint(2, 6))) + "_%06d" % i
    open(os.path.join(sys.argv[1], name), "w").close()
PY

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
mapfile -t list_ms <list.ms
mapfile -t ls_ms <ls.ms
echo "  ratio            $(python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$(median "${list_ms[@]}")" "$(median "${ls_ms[@]}")")x"

"$build/vantor-cli" settings set Folders/Cod4Path "$root" 2>/dev/null
# The window at 800 x 600: the list from (508, 50) to (791, 545), its scroll
# bar's block at (783, 62) when at the top, the search box at (600, 558). Each
# phase ends with the count of frames traced so far written to marks.
export TRACE=$work/trace.txt
steps='
  mark() { wc -l <"$TRACE" >>marks; }
  for ((t = 0; t < 600; ++t)); do grep -q "models listed and shown" Log.txt && break; sleep 0.1; done
  sleep 1
  mark
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 650 200 sleep 1
  mark
  xdotool click --repeat 40 --delay 30 5 sleep 0.3
  xdotool click --repeat 40 --delay 30 4 sleep 0.3
  xdotool mousemove --window "$win" 783 62 sleep 0.3 mousedown 1
  for y in $(seq 72 20 532) $(seq 532 -20 72); do xdotool mousemove --window "$win" 783 $y sleep 0.03; done
  xdotool mouseup 1 sleep 0.3
  mark
  xdotool mousemove --window "$win" 600 558 sleep 0.3 click 1 sleep 0.3
  xdotool type --delay 60 "viewmodel"
  sleep 0.5
  mark
  xdotool type --delay 60 " bones:>2"
  for ((t = 0; t < 1200; ++t)); do grep -q "QorLoader facts of" Log.txt && break; sleep 0.1; done
  sleep 0.5
  mark
  xdotool key --delay 80 --repeat 18 BackSpace
  sleep 0.5
  mark
  xdotool key Escape sleep 0.3
  xdotool key Escape'
for b in "${!builds[@]}"; do
  for file in shown facts first fill.wall fill.cpu scroll.wall scroll.cpu filter.wall filter.cpu terms.wall terms.cpu clear.wall clear.cpu; do
    : >"$b.$file"
  done
done
for ((i = 0; i < runs; ++i)); do
  for b in "${!builds[@]}"; do
    rm -rf Log.txt marks "$XDG_CACHE_HOME"
    VANTOR_FRAME_TRACE=$TRACE timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" \
      bash "$here/../tests/window/drive_window.sh" run.log "$steps" "${builds[$b]}/vantor" --frames 1000000 \
      || { echo "the window run failed" >&2; cat run.log >&2; exit 1; }
    sed -n 's/.*models listed and shown in \([0-9.]*\) ms.*/\1/p' Log.txt | head -1 >>"$b.shown"
    sed -n 's/.*QorLoader facts of [0-9]* models in \([0-9.]*\) ms.*/\1/p' Log.txt | head -1 >>"$b.facts"
    head -1 "$TRACE" | awk '{ print $1 }' >>"$b.first"
    # The longest frame of each phase: frames 2 to the first mark, then from
    # one mark to the next (the focus and the pointer's arrival left out).
    read -r -d '' m1 m2 m3 m4 m5 m6 <marks || true
    awk -v m1="$m1" -v m2="$m2" -v m3="$m3" -v m4="$m4" -v m5="$m5" -v m6="$m6" -v out="$work/$b" '
      function keep(p) { if ($1 > w[p]) w[p] = $1; if ($2 > c[p]) c[p] = $2 }
      NR >= 2 && NR <= m1 { keep("fill") }
      NR > m2 && NR <= m3 { keep("scroll") }
      NR > m3 && NR <= m4 { keep("filter") }
      NR > m4 && NR <= m5 { keep("terms") }
      NR > m5 && NR <= m6 { keep("clear") }
      END { for (p in w) { print w[p] >> (out "." p ".wall"); print c[p] >> (out "." p ".cpu") } }' "$TRACE"
  done
done
for b in "${!builds[@]}"; do
  echo "window, ${builds[$b]}, $names names, $runs runs (Xvfb, Mesa):"
  echo "  names shown after               $(stats <"$b.shown") ms"
  echo "  first frame (start-up), wall    $(stats <"$b.first") ms"
  echo "  facts of every name read in      $(stats <"$b.facts") ms"
  for phase in fill scroll filter terms clear; do
    printf '  longest frame, %-6s wall     %s ms\n' "$phase" "$(stats <"$b.$phase.wall")"
    printf '  longest frame, %-6s main CPU %s ms\n' "$phase" "$(stats <"$b.$phase.cpu")"
  done
done
