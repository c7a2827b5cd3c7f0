#!/usr/bin/env bash
# Makes the five interface sounds under OUT_DIR/sounds: 16-bit PCM mono WAV
# files synthesised with sox, and the welcome line spoken by espeak-ng.
#
#   make_sounds.sh OUT_DIR
#
# espeak-ng writes its file with -w: with --stdout it cannot seek back, and
# the RIFF and data sizes it leaves are placeholders that claim 2 GiB.
set -euo pipefail

out=${1:?usage: make_sounds.sh OUT_DIR}
for tool in sox espeak-ng; do
  command -v "$tool" >/dev/null 2>&1 || { echo "make_sounds: $tool missing (scripts/install-deps)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/sounds"

# -R: the same dither noise on every run, so the files do not change
# between builds.
fmt=(-r 44100 -b 16 -e signed-integer -c 1)

# Hover: a soft, very short tick.
sox -R -n "${fmt[@]}" "$out/sounds/menu_focus.wav" synth 0.035 sine 2200 \
  fade q 0.002 0.035 0.03 gain -14

# Click: a short rising blip.
sox -R -n "${fmt[@]}" "$out/sounds/menu_accept.wav" synth 0.09 sine 880:1320 \
  fade q 0.003 0.09 0.07 gain -9

# Export finished: a two-note chime (E6 then A6), each note with a quiet
# octave above it and a bell-like decay.
sox -R -n "${fmt[@]}" "$work/note1.wav" synth 0.55 sine 1318.5 sine 2637 remix 1,2 fade h 0.005 0.55 0.5 gain -11
sox -R -n "${fmt[@]}" "$work/note2.wav" synth 0.8 sine 1760 sine 3520 remix 1,2 fade h 0.005 0.8 0.75 gain -11 pad 0.16
sox -R -m "$work/note1.wav" "$work/note2.wav" "${fmt[@]}" "$out/sounds/qor_export.wav" gain -n -3

# Error: two low buzzes.
sox -R -n "${fmt[@]}" "$work/buzz.wav" synth 0.16 square 98 square 147 remix 1,2 gain -10 lowpass 900 fade q 0.01 0.16 0.04 gain -n -6
sox -R "$work/buzz.wav" "$work/buzz.wav" "${fmt[@]}" "$out/sounds/qor_error.wav" pad 0 0.06

# Welcome: spoken, then level-normalised into the same format as the rest.
espeak-ng -v en-us+f3 -s 140 -p 60 -w "$work/hello.wav" "Why hello there"
sox -R "$work/hello.wav" "${fmt[@]}" "$out/sounds/GLaDOS_Why_hello_there.wav" gain -n -3
