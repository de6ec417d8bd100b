#!/usr/bin/env bash
# Synthesises the reminder sound shipped with the installer: a soft two-tone
# chime (E6, then C6 half a second later), each tone a struck bar with two
# inharmonic overtones dying away, 1.6 s in all, 16-bit mono PCM at 44.1 kHz:
# the plain WAV that PlaySound plays.
# Usage: make-chime.sh OUTPUT.wav
set -euo pipefail
out=${1:?usage: make-chime.sh OUTPUT.wav}

tone() {  # fundamental in Hz, delay in seconds: one struck tone as a sox input pipe
  local f=$1
  # A logarithmic fade falls in a straight line of decibels, as a struck bar
  # does; spread over 3 s and cut at 1.1 s it falls about 33 dB a second, and a
  # short linear fade at the cut avoids a click.
  echo "|sox -n -r 44100 -c 1 -p synth 3 sine $f sine $(awk "BEGIN { print $f * 2.76 }") \
sine $(awk "BEGIN { print $f * 5.40 }") remix 1v0.6,2v0.25,3v0.1 fade l 0.004 3 2.996 trim 0 1.1 \
fade t 0 1.1 0.15 pad $2"
}

# -D: no dither, so the same script gives the same file.
sox -D -m -v 0.5 "$(tone 1318.51 0)" -v 0.5 "$(tone 1046.50 0.5)" -b 16 "$out" gain -n -3 trim 0 1.6
