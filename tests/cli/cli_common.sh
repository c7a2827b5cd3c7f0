# Sourced by the command-line tests: `cli_setup WORK_DIR` starts from an
# empty work folder, made the current one, with its own settings store;
# `fail MESSAGE` counts a failure and `cli_report NAME` ends with the count;
# `game_args TREE` prints the game flags of a sample tree, by its name.
cli_setup() {
  rm -rf "$1"
  mkdir -p "$1"
  cd "$1"
  export VANTOR_CONFIG_DIR=$1/config
  failures=0
}
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
cli_report() {
  if ((failures)); then
    echo "$1: $failures failure(s)" >&2
    exit 1
  fi
  echo "$1: ok"
}
game_args() {
  case $(basename "$1" | tr '[:upper:]' '[:lower:]') in
    *cod4*) echo "--game cod4" ;;
    *cod5* | *waw*) echo "--game cod5 --auto-switch yes" ;;
    *bo* | *black*) echo "--game bo" ;;
  esac
}
