#!/usr/bin/env bash
# End to end on a real X server: the workbench opens its main window as an
# SDL window under Xvfb, goes through its start-up, and a click on its
# "quit" button (xdotool) ends it with status 0 and no question.
# Skips (77) when Xvfb or xdotool is missing.
#   xvfb_main_window.sh BUILD_DIR SOURCE_DIR [--screenshot FILE]
# With --screenshot the window is also saved as a picture (ImageMagick's
# import) before the click: that is how docs/main-window.png is made.
set -u
build=$1; source=$2; shot=""
[ "${3:-}" = --screenshot ] && shot=$(realpath -m "$4")
kmwb="$build/kmwb"
. "$(dirname "$0")/lib/xvfb.sh"
require_xvfb_tools
[ -x "$kmwb" ] || { echo "kmwb not built at $kmwb"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""; app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 1920x1080x24

cp "$source"/assets/*.bmp "$source"/assets/*.wav "$work"/
cd "$work"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$kmwb" --scale 1 >"$work/out.txt" 2>"$work/err.txt" &
app_pid=$!

# The start-up shows its picture for 4 seconds, then fills the wave tables.
ready=""
for _ in $(seq 1 300); do
  grep -q "start-up done" qzk.log 2>/dev/null && { ready=yes; break; }
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$ready" ] || { echo "the workbench did not finish its start-up"; cat err.txt qzk.log 2>/dev/null; exit 1; }
grep -q "start-up done: sdl backend" qzk.log || { echo "not on the SDL backend under Xvfb"; grep start-up qzk.log; exit 1; }

wid=$(timeout 10 xdotool search --sync --name "^Research-Program Institut K & M$" | head -1)
[ -n "$wid" ] || { echo "no main window"; exit 1; }
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
for _ in $(seq 1 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "the quit button did not end the workbench"; cat qzk.log; exit 1
fi
wait "$app_pid"; status=$?
app_pid=""
[ "$status" -eq 0 ] || { echo "the workbench ended with status $status"; cat err.txt; exit 1; }
grep -q '"message"' qzk.log && { echo "a question was asked on quitting"; exit 1; }
echo "ok: the main window opened under Xvfb display $DISPLAY and its quit button ended it"
exit 0
