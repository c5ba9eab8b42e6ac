#!/usr/bin/env bash
# End to end on a real X server: the workbench opens its main window as an
# SDL window under Xvfb, goes through its start-up, and a click on its
# "quit" button (xdotool) ends it with status 0 and no question.
# Skips (77) when Xvfb or xdotool is missing.
#   xvfb_main_window.sh BUILD_DIR SOURCE_DIR [--screenshot FILE]
# With --screenshot the window is also saved as a picture (ImageMagick's
# import) before the click: that is how docs/main-window.png is made.
# KMWB_SCREEN=WIDTHxHEIGHT gives the X server another screen size.
set -u
build=$(realpath "$1"); source=$(realpath "$2"); shot=""
[ "${3:-}" = --screenshot ] && shot=$(realpath -m "$4")
kmwb="$build/kmwb"
. "$(dirname "$0")/lib/xvfb.sh"
xvfb_setup "$kmwb" "${KMWB_SCREEN:-1920x1080}x24"

cp "$source"/assets/*.bmp "$source"/assets/*.wav "$work"/
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$kmwb" --scale 1 >"$work/out.txt" 2>"$work/err.txt" &
app_pid=$!

# The start-up shows its picture for 4 seconds, then fills the wave tables.
wait_for "start-up done" 30 "$work/qzk.log" || fail "the workbench did not finish its start-up"
grep -q "start-up done: sdl backend" qzk.log || fail "not on the SDL backend under Xvfb"
find_window "Research-Program Institut K & M"
eval "$(xdotool getwindowgeometry --shell "$wid")"
sleep 1
if [ -n "$shot" ]; then
  command -v import >/dev/null || { echo "ImageMagick's import is needed for --screenshot"; exit 1; }
  import -window "$wid" "$shot" && echo "screenshot: $shot (${WIDTH}x${HEIGHT})"
fi

# The quit button sits at 90% across and 95% down the window.
xdotool mousemove --window "$wid" $((WIDTH * 90 / 100)) $((HEIGHT * 95 / 100 + 1))
sleep 0.2
xdotool click 1
wait_for_end 10 || fail "the quit button did not end the workbench"
[ "$app_status" -eq 0 ] || fail "the workbench ended with status $app_status"
grep -q '"message"' qzk.log && fail "a question was asked on quitting"
echo "ok: the main window opened under Xvfb display $DISPLAY and its quit button ended it"
exit 0
