#!/usr/bin/env bash
# End to end on a real X server: qzk_demo opens as an SDL window under
# Xvfb, xdotool clicks its "Hello" button, and the demo must report the
# button's event on stdout. Skips (77) when Xvfb or xdotool is missing.
#   xvfb_demo_click.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
demo="$build/tools/qzk_demo"
. "$(dirname "$0")/lib/xvfb.sh"
require_xvfb_tools
[ -x "$demo" ] || { echo "qzk_demo not built at $demo"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""; demo_pid=""
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 1024x768x24

# wait_for PATTERN SECONDS: until the demo's output holds the pattern.
wait_for() {
  for _ in $(seq 1 $(($2 * 10))); do
    grep -q "$1" "$work/out.txt" 2>/dev/null && return 0
    kill -0 "$demo_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

cd "$work"
SDL_VIDEODRIVER=x11 "$demo" --scale 1 >"$work/out.txt" 2>"$work/err.txt" &
demo_pid=$!
if ! wait_for "^ready" 20; then
  echo "the demo did not get ready"; cat "$work/out.txt" "$work/err.txt" "$work/qzk.log" 2>/dev/null; exit 1
fi
read -r _ backend _ x y w h < <(grep '^ready' "$work/out.txt")
if [ "$backend" != sdl ]; then
  echo "the demo fell back to the $backend backend under Xvfb"; cat "$work/qzk.log"; exit 1
fi

wid=$(timeout 10 xdotool search --sync --name "^qzk demo$" | head -1)
[ -n "$wid" ] || { echo "no window named \"qzk demo\""; exit 1; }

cx=$((x + w / 2)); cy=$((y + h / 2))
xdotool mousemove --window "$wid" "$cx" "$cy"
sleep 0.2
xdotool click 1
if ! wait_for "^event [0-9]* Hello$" 10; then
  echo "the click on Hello at $cx,$cy delivered no event"; cat "$work/out.txt" "$work/qzk.log"; exit 1
fi
grep '^event' "$work/out.txt"

# A click beside the button delivers nothing more.
xdotool mousemove --window "$wid" $((x + w + 5)) "$cy" click 1
sleep 0.5
n=$(grep -c '^event [0-9]* Hello$' "$work/out.txt")
[ "$n" -eq 1 ] || { echo "expected one Hello event, got $n"; exit 1; }
echo "ok: click delivered through SDL under Xvfb display $DISPLAY"
exit 0
