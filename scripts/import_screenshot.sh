#!/usr/bin/env bash
# Starts ectimer in a virtual X display, imports a long light curve through File > Import
# Light Curve ... with the columns as preset, and saves the import window:
#   scripts/import_screenshot.sh shot.png FILE [--click X] [--time-all]
#   --click X    left-clicks the plot at pixel column X of the window (choosing the eclipse there)
#   --time-all   presses "Time All" before the screenshot
set -euo pipefail
out=$(realpath -m "$1")
file=$(realpath "$2")
shift 2
click=""; time_all=0
while [ $# -gt 0 ]; do
  case "$1" in
    --click) click=$2; shift 2 ;;
    --time-all) time_all=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb xdotool imagemagick
scripts/build.sh release >/dev/null

work=$(mktemp -d)  # its own zzzumb.ini: the windows open at their default placements
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${app:-} $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
# The first window whose title matches, waiting up to ten seconds for it.
wait_for() {
  for _ in $(seq 50); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -n 1) || true
    if [ -n "$id" ]; then echo "$id"; return; fi
    sleep 0.2
  done
  echo "no window $1 appeared" >&2; exit 1
}
sleep 1
(cd "$work" && exec "$OLDPWD/build/release/timing/ectimer") >/dev/null 2>&1 &
app=$!
main=$(wait_for '^Umbrix')
sleep 0.5
xdotool mousemove --window "$main" 18 10 click 1   # the File menu
sleep 0.3
xdotool key Down Down Return                        # its second item: Import Light Curve ...
dialog=$(wait_for '^Import Light Curve$')
xdotool windowfocus --sync "$dialog"
xdotool type --delay 5 "$file"
sleep 0.5
xdotool key Return                                  # the preview, then OK (the default button)
win=$(wait_for '^Import - ')
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
if [ -n "$click" ]; then xdotool mousemove --window "$win" "$click" 150 click 1; sleep 0.5; fi
if [ "$time_all" = 1 ]; then
  xdotool mousemove --window "$win" 134 $((HEIGHT / 2 + 175)) click 1   # Time All
  sleep 2
fi
import -window "$win" "$out"
echo "wrote $out"
