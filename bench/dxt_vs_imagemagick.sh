#!/usr/bin/env bash
# DXT decode to TGA beside ImageMagick, side by side in one run, whole
# processes:
#
#   bench/dxt_vs_imagemagick.sh [--build DIR] [--runs N]
#
# Writes a 2048 x 2048 DXT1 and a DXT5 DDS file (full mip chains, libsquish
# blocks), then, RUNS times (default 11) for each, alternating which goes
# first:
#   ours     `vantor-cli convert in.dds --to tga --out ours.tga`
#   theirs   `convert in.dds theirs.tga` (ImageMagick)
# (wall time and CPU time of each process) and checks that ImageMagick reads our TGA as the picture it decodes from
# the DDS file itself, within 1 per channel. (Its own TGA is no reference:
# read back with its origin honoured, ImageMagick 6 finds it upside down.)
# Prints the medians and the ratio theirs / ours (goal: at least 5).
#
# DIR defaults to build-release/ (configured in Release here when it does
# not exist yet); the files go under $TMPDIR.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

bench_options 11 "$@"

# ImageMagick's own convert: the one beside its identify.
identify=$(command -v identify || true)
[[ -n $identify ]] || { echo "dxt_vs_imagemagick: ImageMagick is not installed (scripts/install-deps)" >&2; exit 1; }
magick_dir=$(dirname "$identify")
convert=$magick_dir/convert

bench_build vantor-cli vantor_make_dxt_dds
cli=$build/vantor-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_dxt_bench_$$_XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/vantor_make_dxt_dds" "$work"
echo "dxt_vs_imagemagick: 2048 x 2048, $runs runs each, $(basename "$build"), $("$convert" -version | head -n 1)"


# Wall time and CPU time (user + system) of one process, in microseconds.
TIMEFORMAT='%3R %3U %3S'
timed() {  # timed WALL_ARRAY CPU_ARRAY COMMAND...
  local wall_array=$1 cpu_array=$2 r u s
  shift 2
  read -r r u s < <({ time "$@" >/dev/null; } 2>&1)
  eval "$wall_array+=($(awk -v r="$r" 'BEGIN {printf "%d", r * 1e6}'))"
  eval "$cpu_array+=($(awk -v u="$u" -v s="$s" 'BEGIN {printf "%d", (u + s) * 1e6}'))"
}
time_ours() { timed ours ours_cpu "$cli" convert "$work/$1.dds" --to tga --out "$work/ours_$1.tga"; }
time_theirs() { timed theirs theirs_cpu "$convert" "$work/$1.dds" "$work/theirs_$1.tga"; }

# The largest per-channel difference of two pictures as ImageMagick reads
# them (TGA origin honoured).
max_difference() {
  "$convert" "$1" -auto-orient -depth 8 rgba:"$work/a.rgba"
  "$convert" "$2" -auto-orient -depth 8 rgba:"$work/b.rgba"
  python3 -c 'import sys
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
print(max((abs(x - y) for x, y in zip(a, b)), default=0) if len(a) == len(b) else 256)' "$work/a.rgba" "$work/b.rgba"
}

declare -A result
for kind in dxt1 dxt5; do
  ours=() theirs=() ours_cpu=() theirs_cpu=()
  for ((run = 1; run <= runs; run++)); do
    if ((run % 2)); then time_ours "$kind"; time_theirs "$kind"; else time_theirs "$kind"; time_ours "$kind"; fi
  done
  diff=$(max_difference "$work/ours_$kind.tga" "$work/$kind.dds")
  if [[ $diff -gt 1 ]]; then
    echo "dxt_vs_imagemagick: $kind: the pictures differ by $diff in a channel" >&2
    exit 1
  fi
  result[$kind]="$(median "${ours[@]}") $(median "${theirs[@]}") $diff $(median "${ours_cpu[@]}") $(median "${theirs_cpu[@]}")"
  echo "runs (us) $kind: ours ${ours[*]} | theirs ${theirs[*]}"
done

printf '%-6s %16s %20s %8s %12s %12s %8s %9s\n' "" "vantor-cli (ms)" "ImageMagick (ms)" "ratio" \
  "ours cpu ms" "theirs cpu" "ratio" "max diff"
for kind in dxt1 dxt5; do
  read -r o t d oc tc <<<"${result[$kind]}"
  awk -v k="${kind^^}" -v o="$o" -v t="$t" -v d="$d" -v oc="$oc" -v tc="$tc" 'BEGIN {
    printf "%-6s %16.1f %20.1f %7.1fx %12.1f %12.1f %7.1fx %9d\n", k, o / 1000, t / 1000, t / o, oc / 1000,
      tc / 1000, (oc > 0 ? tc / oc : 0), d
  }'
done
echo "goal: wall-time ratio >= 5 (medians; CPU time is user + system of the process)"
