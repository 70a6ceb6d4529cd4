#!/usr/bin/env bash
# Opens the O-C window from the command line (ectimer --oc ... --show) in a virtual X display
# and saves it:
#   scripts/oc_screenshot.sh shot.png TABLE T0,P [more --oc options ...]
set -euo pipefail
out=$(realpath -m "$1")
table=$(realpath "$2")
ephemeris=$3
shift 3
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb xdotool imagemagick
scripts/build.sh release >/dev/null

work=$(mktemp -d)  # its own settings: no remembered ephemeris, default placements
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${app:-} $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1
(cd "$work" && exec "$OLDPWD/build/release/timing/ectimer" --oc "$table" --ephemeris "$ephemeris" "$@" --show) \
  >/dev/null 2>&1 &
app=$!
for _ in $(seq 50); do
  win=$(xdotool search --name '^O–C' 2>/dev/null | head -n 1) || true
  [ -n "$win" ] && break
  sleep 0.2
done
[ -n "$win" ] || { echo "no O-C window appeared" >&2; exit 1; }
sleep 1
import -window "$win" "$out"
echo "wrote $out"
