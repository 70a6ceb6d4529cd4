#!/usr/bin/env bash
# Starts hjdprep's window in a virtual X display, in an empty folder of its own, and saves it:
#   scripts/hjdprep_screenshot.sh shot.png
set -euo pipefail
out=$(realpath -m "${1:-hjdprep.png}")
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb xdotool imagemagick
scripts/build.sh release >/dev/null

work=$(mktemp -d)
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${app:-} $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1
(cd "$work" && exec "$OLDPWD/build/release/converter/hjdprep") >/dev/null 2>&1 &
app=$!
for _ in $(seq 50); do
  win=$(xdotool search --pid "$app" --onlyvisible 2>/dev/null | head -n 1) || true
  [ -n "$win" ] && break
  sleep 0.2
done
[ -n "$win" ] || { echo "no hjdprep window appeared" >&2; exit 1; }
sleep 0.5
import -window "$win" "$out"
echo "wrote $out"
