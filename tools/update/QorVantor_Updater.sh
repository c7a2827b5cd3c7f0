#!/bin/sh
# The update script an update server hands out with an update. Vantor starts
# it only after the script and the archive matched their manifest, as
#   sh QorVantor_Updater.sh PROGRAM_FOLDER UNPACKED_FOLDER PROGRAM_PID
# It waits for the program to exit, then copies the unpacked files over the
# program's folder (files that exist keep their modes) and removes the
# update's temporary folder.
set -eu
program=$1
unpacked=$2
pid=$3
case $unpacked in
  */vantor-update-*/update) ;;
  *) echo "not an update folder: $unpacked" >&2; exit 1 ;;
esac
tries=0
while kill -0 "$pid" 2>/dev/null; do
  tries=$((tries + 1))
  [ "$tries" -le 600 ] || { echo "the program did not exit" >&2; exit 1; }
  sleep 0.5
done
cp -R "$unpacked"/. "$program"/
rm -rf "$(dirname "$unpacked")"
echo "updated $program"
