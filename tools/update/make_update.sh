#!/usr/bin/env bash
# Makes what an update server serves for one update from a folder laid out
# as the program's folder (bin/vantor, bin/vantor-cli, share/...):
#   OUT/QorVantor_update.zip       the folder's files
#   OUT/QorVantor_Updater.sh       the update script (tools/update)
#   OUT/QorVantor_update.manifest  each file's size and SHA-256
# Serve them at /downloads.php?id=10&update=true, /util/QorVantor_Updater.sh
# and /util/QorVantor_update.manifest, the manifest over https.
#
#   make_update.sh FOLDER OUT [SCRIPT]
set -euo pipefail
folder=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
script=${3:-$(dirname "$0")/QorVantor_Updater.sh}
rm -f "$out/QorVantor_update.zip"
(cd "$folder" && python3 -c '
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for root, dirs, files in sorted(os.walk(".")):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(root, name)[2:]
            z.write(path, path)
' "$out/QorVantor_update.zip")
cp "$script" "$out/QorVantor_Updater.sh"
{
  for name in QorVantor_Updater.sh QorVantor_update.zip; do
    echo "$name $(stat -c %s "$out/$name") $(sha256sum "$out/$name" | cut -d' ' -f1)"
  done
} >"$out/QorVantor_update.manifest"
echo "$out"
