#!/usr/bin/env bash
# End to end on a real X server: qzk_demo opens as an SDL window under
# Xvfb, xdotool clicks its "Hello" button, and the demo must report the
# button's event on stdout. Skips (77) when Xvfb or xdotool is missing.
#   xvfb_demo_click.sh BUILD_DIR SOURCE_DIR
set -u
build=$(realpath "$1")
demo="$build/tools/qzk_demo"
. "$(dirname "$0")/lib/xvfb.sh"
xvfb_setup "$demo" 1024x768x24

SDL_VIDEODRIVER=x11 "$demo" --scale 1 >"$work/out.txt" 2>"$work/err.txt" &
app_pid=$!
wait_for "^ready" 20 || fail "the demo did not get ready"
read -r _ backend _ x y w h < <(grep '^ready' "$work/out.txt")
[ "$backend" = sdl ] || fail "the demo fell back to the $backend backend under Xvfb"
find_window "qzk demo"

cx=$((x + w / 2)); cy=$((y + h / 2))
xdotool mousemove --window "$wid" "$cx" "$cy"
sleep 0.2
xdotool click 1
wait_for "^event [0-9]* Hello$" 10 || fail "the click on Hello at $cx,$cy delivered no event"
grep '^event' "$work/out.txt"

# A click beside the button delivers nothing more.
xdotool mousemove --window "$wid" $((x + w + 5)) "$cy" click 1
sleep 0.5
n=$(grep -c '^event [0-9]* Hello$' "$work/out.txt")
[ "$n" -eq 1 ] || fail "expected one Hello event, got $n"
echo "ok: click delivered through SDL under Xvfb display $DISPLAY"
exit 0
