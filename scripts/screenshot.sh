#!/usr/bin/env bash
# Starts ectimer in a virtual X display and saves a screenshot:
#   scripts/screenshot.sh shot.png [FILE] [--go N] [--rclick F]... [--keys "K ..."]... [--window]
# FILE, when given, is loaded at start as with File > Open.
#   --go N       presses Go of row N of the main window (with the keyboard) and waits for the
#                method window it opens
#   --rclick F   right-clicks the method window's plot at the fraction F (0..1) of the frame's
#                width, halfway down
#   --keys "..." sends these key names (xdotool) to the method window, in the order given among
#                the clicks; focus starts on its first control ("space" presses it, "Tab" moves on)
#   --window     saves only the method window instead of the screen's top-left 1280x900
set -euo pipefail
out=$(realpath -m "${1:-ectimer.png}"); shift || true
file=()
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then file=("$(realpath "$1")"); shift; fi
cd "$(dirname "$0")/.."
go=""; actions=(); only_window=0
while [ $# -gt 0 ]; do
  case "$1" in
    --go) go=$2; shift 2 ;;
    --rclick) actions+=("rclick:$2"); shift 2 ;;
    --keys) actions+=("keys:$2"); shift 2 ;;
    --window) only_window=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
scripts/setup.sh xvfb xdotool imagemagick
scripts/build.sh release >/dev/null

work=$(mktemp -d)  # its own zzzumb.ini: the windows open at their default placements
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1
top=$PWD
(cd "$work" && exec "$top/build/release/timing/ectimer" "${file[@]}") >/dev/null 2>&1 &
app=$!
sleep 2

target=root
if [ -n "$go" ]; then
  main=$(xdotool search --name '^Umbrix' | head -n 1)
  xdotool windowfocus --sync "$main"
  # The focus starts on Go of row 1; each row holds four controls (Go, two boxes, tick).
  for _ in $(seq 2 "$go"); do xdotool key --window "$main" Tab Tab Tab Tab; done
  xdotool key --window "$main" space
  sleep 1
  method=$(xdotool search --onlyvisible --name . | while read -r id; do
             [ "$id" != "$main" ] && xdotool getwindowname "$id" | grep -qv '^Umbrix' && echo "$id"
           done | tail -n 1)
  eval "$(xdotool getwindowgeometry --shell "$method")"  # X Y WIDTH HEIGHT
  xdotool windowfocus --sync "$method"
  # The frame (twips, 15 to a pixel) as the method windows lay it out; below a ~20-pixel menu.
  for a in "${actions[@]}"; do
    case "$a" in
      rclick:*)
        f=${a#rclick:}
        left=33; right=$((WIDTH - 28)); [ "$go" = 5 ] && left=47 && right=$((WIDTH - 100))
        px=$(awk -v l="$left" -v r="$right" -v f="$f" 'BEGIN { printf "%d", l + f * (r - l) }')
        xdotool mousemove --window "$method" "$px" $((20 + (16 + HEIGHT - 123) / 2)) click 3 ;;
      keys:*) xdotool key --window "$method" ${a#keys:} ;;
    esac
    sleep 0.3
  done
  [ "$only_window" = 1 ] && target=$method
fi
sleep 0.5
if [ "$target" = root ]; then
  /usr/bin/import -window root -crop 1280x900+0+0 "$out"
else
  /usr/bin/import -window "$target" "$out"
fi
echo "wrote $out"
