#!/usr/bin/env bash
# End to end on a real X server: qzk_demo opens on its "Widgets" page as an
# SDL window under Xvfb; xdotool clicks the "Disable" button, the up arrow
# of the up/down control (once, then held) and the "Buttons" tab, and the
# demo must report each event on stdout. The window's pixels as the X
# server shows them must equal the demo's own headless rendering of the
# same page. Skips (77) when Xvfb or xdotool is missing.
#   xvfb_widgets.sh BUILD_DIR SOURCE_DIR
set -u
build=$(realpath "$1")
demo="$build/tools/qzk_demo"
. "$(dirname "$0")/lib/xvfb.sh"
xvfb_setup "$demo" 1024x768x24

SDL_VIDEODRIVER=x11 "$demo" --scale 1 --page 1 >"$work/out.txt" 2>"$work/err.txt" &
app_pid=$!
wait_for "^widget quit" 20 || fail "the demo did not get ready"
grep -q '^ready sdl ' "$work/out.txt" || fail "the demo did not use the SDL backend under Xvfb"

# place NAME: sets px py (the widget's centre) from "widget NAME x y w h".
place() {
  local line
  line=$(grep "^widget $1 " "$work/out.txt" | head -1)
  [ -n "$line" ] || fail "no place for $1"
  read -r _ _ x y w h <<<"$line"
  px=$((x + w / 2)); py=$((y + h / 2))
}

find_window "qzk demo"
sleep 0.3

# The X server shows what the toolkit drew: compare with the headless
# rendering of the same page (ImageMagick's import, when installed).
if command -v import >/dev/null && command -v compare >/dev/null; then
  "$demo" --headless --page 1 --screenshot "$work/headless.png" >/dev/null || fail "no headless screenshot"
  import -window "$wid" "$work/x11.png" 2>/dev/null || fail "import could not grab the window"
  diff=$(compare -metric AE "$work/x11.png" "$work/headless.png" null: 2>&1)
  [ "$diff" = 0 ] || fail "the X window differs from the headless rendering in $diff pixels"
  echo "ok: X11 pixels equal the headless rendering"
fi

click() {  # click NAME: a left click in the middle of the widget
  place "$1"
  xdotool mousemove --window "$wid" "$px" "$py"
  sleep 0.1
  xdotool click 1
}

click enable
wait_for "^event [0-9]* disabled$" 10 || fail "the click on Disable delivered no event"
click enable
wait_for "^event [0-9]* enabled$" 10 || fail "the second click on the button delivered no event"

click number-up
wait_for "^event [0-9]* number 08$" 10 || fail "the click on the up arrow delivered no event"

# Held for about a second: the arrow repeats on the platform clock.
place number-up
xdotool mousemove --window "$wid" "$px" "$py" mousedown 1
sleep 1.0
xdotool mouseup 1
sleep 0.3
n=$(grep -c '^event [0-9]* number ' "$work/out.txt")
[ "$n" -ge 5 ] || fail "holding the up arrow gave only $((n - 1)) more steps"

click tab1   # the "Widgets" tab is shown: a click there changes nothing
place tab-widgets
xdotool mousemove --window "$wid" $((x + 20)) $((y + 8)) click 1
wait_for "^event [0-9]* tab Buttons$" 10 || fail "the click on the Buttons tab delivered no event"
grep '^event' "$work/out.txt"
echo "ok: button, up/down arrow and tab clicks delivered through SDL under Xvfb display $DISPLAY"
exit 0
