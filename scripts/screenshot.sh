#!/usr/bin/env bash
# Starts ectimer in a virtual X display and saves a screenshot of the screen's top-left corner:
#   scripts/screenshot.sh shot.png [FILE]
# FILE, when given, is loaded at start as with File > Open.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-ectimer.png}"); shift || true
scripts/setup.sh xvfb imagemagick
scripts/build.sh release >/dev/null

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display build/release/timing/ectimer "$@" >/dev/null 2>&1 &
app=$!
sleep 2
# No window manager: the main window sits at 0,0.
DISPLAY=$display /usr/bin/import -window root -crop 800x600+0+0 "$out"
echo "wrote $out"
