# Sourced by the script tests that run a program on a real X server.

# Skips the test (77) when Xvfb or xdotool is missing.
require_xvfb_tools() {
  command -v Xvfb >/dev/null || { echo "skip: Xvfb not installed"; exit 77; }
  command -v xdotool >/dev/null || { echo "skip: xdotool not installed"; exit 77; }
}

# start_xvfb WIDTHxHEIGHTxDEPTH: starts Xvfb in the background, sets
# xvfb_pid and exports DISPLAY; needs the scratch folder $work. Xvfb picks
# a display number nobody uses and writes it to fd 3, so that scripts
# running side by side never race for the same one.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local display=""
  for _ in $(seq 1 100); do
    display=$(tr -dc '0-9' <"$work/display" 2>/dev/null)
    [ -n "$display" ] && [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$display" ] && [ -e "/tmp/.X11-unix/X$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  export DISPLAY=":$display"
}
