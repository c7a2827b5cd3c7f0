#!/usr/bin/env bash
# Regenerates every run-time file of the interface into OUT_DIR, laid out as
# the program's data folder: the pictures under images/, the two TXF fonts
# under Fonts/, the sounds under sounds/ and the program's icons under
# icons/ (installed into the hicolor theme, not the data folder). The build
# runs it (target gui_data); by hand:
#
#   tools/gui_data/make_gui_data.sh OUT_DIR PATH/TO/txf_maker
#
# Needs ImageMagick, sox, espeak-ng and fonts-urw-base35 (scripts/install-deps).
set -euo pipefail

out=${1:?usage: make_gui_data.sh OUT_DIR TXF_MAKER}
txf_maker=${2:?usage: make_gui_data.sh OUT_DIR TXF_MAKER}
here=$(cd "$(dirname "$0")" && pwd)

# The fonts the interface names, from Debian's URW clones of the PostScript
# fonts: Nimbus Sans Bold for Helvetica Bold, URW Bookman Demi for Bookman
# Demi.
font_dir=/usr/share/fonts/opentype/urw-base35
mkdir -p "$out/Fonts"
"$txf_maker" "$font_dir/NimbusSans-Bold.otf" "$out/Fonts/Helvetica-Bold.txf"
"$txf_maker" "$font_dir/URWBookman-Demi.otf" "$out/Fonts/Bookman-Demi.txf"

bash "$here/make_pictures.sh" "$out"
bash "$here/make_sounds.sh" "$out"
bash "$here/make_icons.sh" "$out"
