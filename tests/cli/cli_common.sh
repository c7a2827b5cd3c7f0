# Sourced by the command-line tests and the window tests' driver:
# `cli_setup WORK_DIR` starts from an empty work folder, made the current one,
# with its own settings store and cache; `fail MESSAGE` counts a failure and
# `cli_report NAME` ends with the count; `status_of COMMAND...` leaves the
# command's exit status in $status; `game_args TREE` prints the game flags of
# a sample tree, by its name.
cli_setup() {
  rm -rf "$1"
  mkdir -p "$1"
  cd "$1"
  export VANTOR_CONFIG_DIR=$1/config XDG_CACHE_HOME=$1/cache
  failures=0
}
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
cli_report() {
  ((failures == 0)) || { echo "$1: $failures failure(s)" >&2; exit 1; }
  echo "$1: ok"
}
status_of() { status=0; "$@" || status=$?; }
game_args() {
  case $(basename "$1" | tr '[:upper:]' '[:lower:]') in
    *cod4*) echo "--game cod4" ;;
    *cod5* | *waw*) echo "--game cod5 --auto-switch yes" ;;
    *bo* | *black*) echo "--game bo" ;;
  esac
}
# as_nobody_reaches PATH...: whether the user "nobody" (the parts these tests
# run as another user, when they run as root) can reach every PATH. A
# checkout under a folder other users cannot enter (a 0700 home, a
# `mktemp -d` folder) makes such a part skip, with the reason printed.
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
as_nobody_reaches() {
  local path
  for path in "$@"; do
    "${as_nobody[@]}" test -e "$path" 2>/dev/null && continue
    echo "SKIP: the part run as user nobody: it cannot reach $path (a folder above it is closed to other users)"
    return 1
  done
}
