# Sourced by the window tests: skips the test when a tool it needs is
# missing, starts from an empty work folder with its own settings store,
# and counts failures (`fail MESSAGE`; the caller reports `failures`).
#
#   window_setup WORK_DIR [MORE_TOOLS...]
window_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

window_setup() {
  local tool work=$1
  shift
  for tool in xvfb-run xdotool convert "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed"
      exit 0
    fi
  done
  rm -rf "$work"
  mkdir -p "$work"
  cd "$work"
  export VANTOR_CONFIG_DIR=$work/config
  failures=0
}

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# drive_window LOG STEPS PROGRAM [ARGUMENTS...]: the program in its own X
# server, driven by STEPS (see drive_window.sh); false when it failed.
drive_window() {
  timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$window_tests/drive_window.sh" "$@"
}
