# Shared by the scripts in this folder (sourced, not run): the repository
# root, the build settings every script uses, and one configure-and-build
# step. The machine has two cores, so no build here runs wider than -j2.

VANTOR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VANTOR_JOBS=${VANTOR_JOBS:-2}

# configure_and_build BUILD_DIR [TARGET...] -- [CMAKE_ARG...]
# Configures BUILD_DIR with Ninja (the generator is left alone when the
# directory was configured before) and builds the targets, or all.
configure_and_build() {
  local dir=$1
  shift
  local targets=()
  while [[ $# -gt 0 && $1 != -- ]]; do
    targets+=("$1")
    shift
  done
  [[ ${1:-} == -- ]] && shift
  local generator=()
  [[ -f "$dir/CMakeCache.txt" ]] || generator=(-G Ninja)
  cmake -S "$VANTOR_ROOT" -B "$dir" "${generator[@]}" "$@"
  if [[ ${#targets[@]} -gt 0 ]]; then
    cmake --build "$dir" -j "$VANTOR_JOBS" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$VANTOR_JOBS"
  fi
}

# bench_build TARGET...: builds the benchmark's targets in $build, first
# configuring it as a Release build with the benchmarks when it is new.
bench_build() {
  if [[ -f $build/CMakeCache.txt ]]; then
    cmake --build "$build" -j "$VANTOR_JOBS" --target "$@"
  else
    configure_and_build "$build" "$@" -- \
      -DCMAKE_BUILD_TYPE=Release -DVANTOR_BUILD_BENCH=ON -DVANTOR_BUILD_TESTS=OFF
  fi
}

# iwd_bench_setup SCRIPT RUNS ENTRIES "$@": what the archive benchmarks
# share: their options (--build DIR, --runs N, --entries N, --archives N;
# 4 archives unless told), their build, and ENTRIES small images written
# into the archives in $work/main, a new folder removed on exit. Sets
# build, runs, entries, archives, cli, work and bytes.
iwd_bench_setup() {
  local script=$1
  runs=$2
  entries=$3
  archives=4
  shift 3
  build=$VANTOR_ROOT/build-release
  while [[ $# -gt 0 ]]; do
    case $1 in
      --build) build=$(cd "$2" && pwd); shift 2 ;;
      --runs) runs=$2; shift 2 ;;
      --entries) entries=$2; shift 2 ;;
      --archives) archives=$2; shift 2 ;;
      *)
        echo "usage: bench/$script.sh [--build DIR] [--runs N] [--entries N] [--archives N]" >&2
        exit 2
        ;;
    esac
  done
  command -v unzip >/dev/null || { echo "$script: unzip is not installed (scripts/install-deps)" >&2; exit 1; }
  bench_build vantor-cli vantor_make_iwd_archives
  cli=$build/vantor-cli
  work=$(mktemp -d "${TMPDIR:-/tmp}/vantor_${script}_$$_XXXXXX")
  trap 'rm -rf "$work"' EXIT
  "$build/bench/vantor_make_iwd_archives" "$work/main" "$entries" "$archives"
  bytes=$(du -sb "$work/main" | cut -f1)
}

# The options every benchmark takes: `--build DIR` (default build-release/)
# and `--runs N` (default RUNS). Sets `build` and `runs`; anything else is a
# usage error naming the script.
#   bench_options RUNS "$@"
bench_options() {
  runs=$1
  shift
  build=$VANTOR_ROOT/build-release
  while [[ $# -gt 0 ]]; do
    case $1 in
      --build) build=$(cd "$2" && pwd); shift 2 ;;
      --runs) runs=$2; shift 2 ;;
      *)
        echo "usage: $0 [--build DIR] [--runs N]" >&2
        exit 2
        ;;
    esac
  done
}

# window_bench_setup BUILD_DIR RUNS: what the window benchmarks share:
# `build` (default build-release/), `runs` (default 5), an empty `work`
# folder (removed on exit) as the current folder with a settings store of
# its own, and the export scale 1.
window_bench_setup() {
  build=$(cd "${1:-$VANTOR_ROOT/build-release}" && pwd)
  runs=${2:-5}
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export VANTOR_CONFIG_DIR=$work/config
  cd "$work"
  "$build/vantor-cli" settings set Export/export_scale_new 1.0 2>/dev/null
}

# The median, smallest and largest of the numbers given, and "lowest-highest".
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
lowest() { printf '%s\n' "$@" | sort -g | head -n 1; }
highest() { printf '%s\n' "$@" | sort -g | tail -n 1; }
span() { echo "$(lowest "$@")-$(highest "$@")"; }

# "median (min-max)" of the numbers on standard input, in FMT (default %.2f).
stats() {
  sort -g | awk -v fmt="${1:-%.2f}" '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf fmt " (" fmt "-" fmt ")\n", m, v[1], v[NR] }'
}
