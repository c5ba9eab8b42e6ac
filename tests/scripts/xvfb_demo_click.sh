#!/usr/bin/env bash
# End to end on a real X server: qzk_demo opens as an SDL window under
# Xvfb, xdotool clicks its "Hello" button, and the demo must report the
# button's event on stdout. Skips (77) when Xvfb or xdotool is missing.
#   xvfb_demo_click.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
demo="$build/tools/qzk_demo"
command -v Xvfb >/dev/null || { echo "skip: Xvfb not installed"; exit 77; }
command -v xdotool >/dev/null || { echo "skip: xdotool not installed"; exit 77; }
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

# Xvfb picks a display number nobody uses and writes it to fd 3, so that
# scripts running side by side never race for the same one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 1 100); do
  display=$(tr -dc '0-9' <"$work/display" 2>/dev/null)
  [ -n "$display" ] && [ -e "/tmp/.X11-unix/X$display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$display" ] && [ -e "/tmp/.X11-unix/X$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display"

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
echo "ok: click delivered through SDL under Xvfb display :$display"
exit 0
