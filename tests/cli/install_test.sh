#!/usr/bin/env bash
# `cmake --install` into a temporary prefix, then the installed programs
# from another working folder: the data found under share/vantor, the
# desktop entry valid, the icons in the hicolor theme; vantor-cli exports
# the sample model, vantor starts under Xvfb and saves a frame; started from
# the home folder it logs into the state folder; its window has the desktop
# entry's class and the icon. With the program's folder not writable (run as
# another user when the test runs as root), "Running Directory" exports land
# in the user's data folder. The Debian package passes lintian and its
# unpacked vantor-cli exports.
#
#   install_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/cli_common.sh"
cli_setup "$2"
work=$(pwd)

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
for f in bin/vantor bin/vantor-cli share/vantor/images/default.dds share/vantor/Fonts/Bookman-Demi.txf \
    share/vantor/sounds/GLaDOS_Why_hello_there.wav share/applications/vantor.desktop \
    share/icons/hicolor/48x48/apps/vantor.png share/icons/hicolor/256x256/apps/vantor.png; do
  [[ -s $prefix/$f ]] || fail "$f was not installed"
done
[[ -e $prefix/share/vantor/icons || -e $prefix/share/vantor/vantor.desktop ]] && fail "icons or the desktop entry in the data folder"
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$prefix/share/applications/vantor.desktop" ||
  fail "desktop-file-validate refused the entry"

mkdir -p "$work/elsewhere" && cd "$work/elsewhere"
export VANTOR_CONFIG_DIR=$work/config
"$prefix/bin/vantor-cli" sample "$work/sample" >/dev/null
model=$work/sample/cod4/raw/xmodel/fixture_soldier
"$prefix/bin/vantor-cli" export "$model" --game cod4 --format xe,obj --out "$work/out" </dev/null >/dev/null 2>&1 ||
  fail "the installed vantor-cli did not export"
[[ -n $(find "$work/out" -name '*.XMODEL_EXPORT') ]] || fail "no XMODEL_EXPORT from the installed vantor-cli"

xvfb() { timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }
if command -v xvfb-run >/dev/null; then
  # Started from the home folder, as the desktop's menu starts it: the log
  # goes to the state folder, never into the home folder.
  mkdir -p "$work/home" && cd "$work/home"
  HOME=$work/home XDG_STATE_HOME= xvfb "$prefix/bin/vantor" --game cod4 --frames 5 \
    --screenshot "$work/elsewhere/shot.dds" "$model" >"$work/run.log" 2>&1 ||
    { fail "the installed vantor did not run"; cat "$work/run.log" >&2; }
  [[ -s $work/elsewhere/shot.dds ]] || fail "the installed vantor saved no frame"
  [[ -e $work/home/Log.txt ]] && fail "Log.txt was written into the home folder"
  grep -q "Program Ready" "$work/home/.local/state/vantor/Log.txt" 2>/dev/null ||
    fail "Log.txt is not in the state folder"
  # The window's class is the desktop entry's StartupWMClass, and it carries
  # the installed icon.
  if command -v xdotool >/dev/null && command -v xprop >/dev/null; then
    wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/vantor.desktop")
    xvfb bash "$here/../window/drive_window.sh" "$work/props.log" '
      xprop -id "$win" WM_CLASS >props.txt
      xprop -id "$win" _NET_WM_ICON | head -c 2000 | grep -o "Icon ([0-9]* x [0-9]*)" >>props.txt
      kill $pid; wait $pid; exit 0' "$prefix/bin/vantor" --frames 100000 || true
    grep -q "WM_CLASS(STRING) = \"$wm_class\", \"$wm_class\"" props.txt ||
      fail "the window's class is not the desktop entry's '$wm_class': $(head -1 props.txt)"
    grep -q "Icon (16 x 16)" props.txt || fail "the window carries no icon"
  fi
  cd "$work/elsewhere"
fi

# Not writable: the program's folder, for another user when this runs as
# root. The export goes to "Running Directory", which is then the user's
# data folder.
if [[ $(id -u) -ne 0 ]] || command -v setpriv >/dev/null; then
  as_user=()
  if [[ $(id -u) -eq 0 ]]; then
    as_user=("${as_nobody[@]}")
    chmod -R a+rX "$prefix" "$work/sample" && chmod 755 "$work"
  else
    chmod a-w "$prefix/bin"
  fi
  mkdir -m 777 "$work/user" && cd "$work/user"
  if [[ $(id -u) -ne 0 ]] || as_nobody_reaches "$prefix/bin/vantor-cli" "$model" "$work/user"; then
    env HOME="$work/user" XDG_DATA_HOME="$work/user/data" VANTOR_CONFIG_DIR="$work/user/config" "${as_user[@]}" \
      "$prefix/bin/vantor-cli" export "$model" --game cod4 --format xe </dev/null >user.log 2>&1 ||
      { fail "the export with the program's folder not writable failed"; cat user.log >&2; }
    chmod u+w "$prefix/bin"
    [[ -n $(find "$work/user/data/vantor/exported" -name '*.XMODEL_EXPORT' 2>/dev/null) ]] ||
      fail "the Running Directory export is not in the user's data folder"
    [[ ! -e $prefix/bin/exported ]] || fail "the export went into the program's folder"
  fi
fi

# The Debian package, made by CPack from the same build: no lintian error,
# dependencies read off the binaries and libcurl's named by hand, and
# unpacked into a scratch root its vantor-cli exports the sample model.
cd "$work"
cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >cpack.log 2>&1 || fail "cpack: $(tail -3 cpack.log)"
deb=$(find "$work/deb" -maxdepth 1 -name 'vantor_*_*.deb' | head -1)
if [[ -z $deb ]]; then
  fail "cpack made no vantor_VERSION_ARCH.deb"
else
  ! command -v lintian >/dev/null || lintian --fail-on error "$deb" >lintian.txt 2>&1 ||
    fail "lintian: $(grep '^E:' lintian.txt | head -5)"
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == *libglfw3* ]] || fail "the package's dependencies were not read off the binaries"
  [[ $depends == *libcurl4* ]] || fail "the package does not depend on libcurl4, which the updates open"
  dpkg-deb -x "$deb" "$work/root"
  "$work/root/usr/bin/vantor-cli" export "$model" --game cod4 --format xe,glb --out "$work/deb_out" </dev/null \
    >/dev/null 2>&1 || fail "the packaged vantor-cli did not export"
  [[ -n $(find "$work/deb_out" -name '*.glb') ]] || fail "no GLB from the packaged vantor-cli"
fi

cli_report "install test"
