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
#   --plot       presses "Plot/Edit Data" instead and waits for the plot/edit window, which then
#                takes the clicks, keys and menus that follow
#   --lclick F,G left-clicks that window's plot at the fractions F of the frame's width and G
#                of its height (0,0 the top left corner)
#   --file-menu N  chooses item N of that window's File menu (1 = "Print Setup ...")
#   --help-menu N  chooses item N of the main window's Help menu (1 = "Help - Introduction")
set -euo pipefail
out=$(realpath -m "${1:-ectimer.png}"); shift || true
file=()
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then file=("$(realpath "$1")"); shift; fi
cd "$(dirname "$0")/.."
go=""; plot=0; actions=(); only_window=0
while [ $# -gt 0 ]; do
  case "$1" in
    --go) go=$2; shift 2 ;;
    --plot) plot=1; shift ;;
    --rclick) actions+=("rclick:$2"); shift 2 ;;
    --lclick) actions+=("lclick:$2"); shift 2 ;;
    --keys) actions+=("keys:$2"); shift 2 ;;
    --file-menu) actions+=("filemenu:$2"); shift 2 ;;
    --help-menu) actions+=("helpmenu:$2"); shift 2 ;;
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
main=$(xdotool search --name '^Umbrix' | head -n 1)
method=$main  # the window the clicks, keys and menus go to
# Opens menu m of the window's menu bar ("File" at its left, the next ones by Right) and
# chooses its item n. A menu opened by the click has no item highlighted yet; one reached by
# Right starts on its first item.
menu() {
  xdotool mousemove --window "$1" 18 10 click 1
  sleep 0.3
  local downs=$3
  for _ in $(seq 2 "$2"); do xdotool key Right; downs=$(($3 - 1)); done
  for _ in $(seq 1 "$downs"); do xdotool key Down; done
  xdotool key Return
}
if [ -n "$go" ] || [ "$plot" = 1 ]; then
  xdotool windowfocus --sync "$main"
  if [ "$plot" = 1 ]; then
    # "Plot/Edit Data" follows the six rows of four controls and the four means boxes and
    # "Calc. Means": 29 steps on from Go of row 1, where the focus starts.
    xdotool key --window "$main" --repeat 29 Tab
  else
    # The focus starts on Go of row 1; each row holds four controls (Go, two boxes, tick).
    for _ in $(seq 2 "$go"); do xdotool key --window "$main" Tab Tab Tab Tab; done
  fi
  xdotool key --window "$main" space
  sleep 1
  method=$(xdotool search --onlyvisible --name . | while read -r id; do
             [ "$id" != "$main" ] && xdotool getwindowname "$id" | grep -qv '^Umbrix' && echo "$id"
           done | tail -n 1)
  xdotool windowfocus --sync "$method"
fi
eval "$(xdotool getwindowgeometry --shell "$method")"  # X Y WIDTH HEIGHT
# The frame (twips, 15 to a pixel) as the plot windows lay it out; below a ~20-pixel menu.
for a in "${actions[@]}"; do
  case "$a" in
    rclick:*)
      f=${a#rclick:}
      left=33; right=$((WIDTH - 28)); [ "$go" = 5 ] && left=47 && right=$((WIDTH - 100))
      px=$(awk -v l="$left" -v r="$right" -v f="$f" 'BEGIN { printf "%d", l + f * (r - l) }')
      xdotool mousemove --window "$method" "$px" $((20 + (16 + HEIGHT - 123) / 2)) click 3 ;;
    lclick:*)
      f=${a#lclick:}
      px=$(awk -v w="$WIDTH" -v f="${f%,*}" 'BEGIN { printf "%d", 33 + f * (w - 28 - 33) }')
      py=$(awk -v h="$HEIGHT" -v g="${f#*,}" 'BEGIN { printf "%d", 20 + 16 + g * (h - 123 - 16) }')
      xdotool mousemove --window "$method" "$px" "$py" click 1 ;;
    keys:*) xdotool key --window "$method" ${a#keys:} ;;
    filemenu:*) menu "$method" 1 "${a#filemenu:}" ;;
    helpmenu:*) menu "$main" 2 "${a#helpmenu:}" ;;
  esac
  sleep 0.3
done
[ "$only_window" = 1 ] && [ "$method" != "$main" ] && target=$method
sleep 0.5
if [ "$target" = root ]; then
  /usr/bin/import -window root -crop 1280x900+0+0 "$out"
else
  /usr/bin/import -window "$target" "$out"
fi
echo "wrote $out"
