#!/usr/bin/env bash
# On a real X server: the main window made smaller by the user (1280 x 720
# on a 1920 x 1080 screen) shows the whole picture scaled to fit, and its
# controls stay where the picture shows them: a click on the last module
# button ("K und M  Institut") runs it, and a click on "quit" ends the
# program. Then, on a 1366 x 768 screen, the window opens within the screen.
# Skips (77) when Xvfb or xdotool is missing.
#   xvfb_resized_window.sh BUILD_DIR SOURCE_DIR
set -u
build=$(realpath "$1"); source=$(realpath "$2")
kmwb="$build/kmwb"
. "$(dirname "$0")/lib/xvfb.sh"
xvfb_setup "$kmwb" 1920x1080x24
cp "$source"/assets/*.bmp "$source"/assets/*.wav "$work"/

start() {
  rm -f qzk.log
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$kmwb" --scale 1 >"$work/out.txt" 2>"$work/err.txt" &
  app_pid=$!
  wait_for "start-up done" 30 "$work/qzk.log" || fail "the workbench did not finish its start-up"
  find_window "Research-Program Institut K & M"
}
start
eval "$(xdotool getwindowgeometry --shell "$wid")"
W0=$WIDTH; H0=$HEIGHT   # the toolkit's own pixels (shown 1:1 at this size)

xdotool windowsize --sync "$wid" 1280 720 2>/dev/null || xdotool windowsize "$wid" 1280 720
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 720 ] || fail "the window is ${WIDTH}x$HEIGHT, not 1280x720"

# A point of the picture (toolkit pixels) where the scaled picture shows it:
# the scale that fits both sides, the picture centred.
at() {
  awk -v w="$W0" -v h="$H0" -v W="$WIDTH" -v H="$HEIGHT" -v x="$1" -v y="$2" 'BEGIN {
    f = W / w; if (H / h < f) f = H / h
    pw = int(w * f + 0.5); ph = int(h * f + 0.5)
    printf "%d %d", int((W - pw) / 2 + x * pw / w), int((H - ph) / 2 + y * ph / h) }'
}
# The last module button sits at 84% across and 84% down the picture, the
# quit button at 90% across and 95% down.
read -r bx by <<<"$(at $((W0 * 84 / 100)) $((H0 * 8402 / 10000)))"
xdotool mousemove --window "$wid" "$bx" "$by" click 1
for _ in $(seq 1 100); do
  grep -q "^module done: K und M  Institut" qzk.log && break
  sleep 0.1
done
grep -q "^module done: K und M  Institut" qzk.log || fail "the last module button did not run its module at ($bx, $by)"

read -r qx qy <<<"$(at $((W0 * 90 / 100)) $((H0 * 95 / 100 + 1)))"
xdotool mousemove --window "$wid" "$qx" "$qy" click 1
wait_for_end 10 || fail "the quit button did not end the workbench at ($qx, $qy)"
[ "$app_status" -eq 0 ] || fail "the workbench ended with status $app_status"
grep -q "^X error [0-9]" qzk.log && fail "X errors were logged"
echo "ok: at 1280x720 the last module button and the quit button answered"

# A smaller screen: the window opens inside it, frame allowance included.
kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
start_xvfb 1366x768x24
start
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ $((Y + HEIGHT)) -le 768 ] && [ $((X + WIDTH)) -le 1366 ] ||
  fail "at 1366x768 the window lies at $X,$Y and is ${WIDTH}x$HEIGHT"
kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""
echo "ok: at 1366x768 the window (${WIDTH}x$HEIGHT at $X,$Y) fits the screen"
exit 0
