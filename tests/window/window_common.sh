# Sourced by the window tests: skips the test when a tool it needs is
# missing, starts from an empty work folder with its own settings store,
# and counts failures (`fail MESSAGE`; the caller reports `failures`).
#
#   window_setup WORK_DIR
window_setup() {
  local tool
  for tool in xvfb-run xdotool convert; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed"
      exit 0
    fi
  done
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
