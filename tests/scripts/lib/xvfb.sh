# Sourced by the script tests that run a program on a real X server.
#
#   . "$(dirname "$0")/lib/xvfb.sh"
#   xvfb_setup "$build/tools/qzk_demo" 1024x768x24
#   SDL_VIDEODRIVER=x11 "$program" >"$work/out.txt" 2>"$work/err.txt" &
#   app_pid=$!
#   wait_for "^ready" 20 || fail "the program did not get ready"

# xvfb_setup PROGRAM WIDTHxHEIGHTxDEPTH: skips without the X tools, fails
# when the program is not built, makes the scratch folder $work (the
# current directory from then on) and starts the X server.
xvfb_setup() {
  require_xvfb_tools
  require_program "$1"
  xvfb_scratch
  start_xvfb "$2"
  cd "$work" || exit 1
}

# Skips the test (77) when Xvfb or xdotool is missing.
require_xvfb_tools() {
  command -v Xvfb >/dev/null || { echo "skip: Xvfb not installed"; exit 77; }
  command -v xdotool >/dev/null || { echo "skip: xdotool not installed"; exit 77; }
}

# require_program PATH: fails the test when the program is not built.
require_program() {
  [ -x "$1" ] || { echo "$(basename "$1") not built at $1"; exit 1; }
}

# The scratch folder $work; at the end the program under test ($app_pid)
# and the X server ($xvfb_pid) are stopped and the folder is removed.
xvfb_scratch() {
  work=$(mktemp -d)
  xvfb_pid=""
  app_pid=""
  trap xvfb_cleanup EXIT
}

xvfb_cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
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

# wait_for PATTERN SECONDS [FILE]: until the program's output (FILE, else
# $work/out.txt) holds the pattern; false when the time is up or the
# program ended.
wait_for() {
  local file=${3:-$work/out.txt}
  for _ in $(seq 1 $(($2 * 10))); do
    grep -q "$1" "$file" 2>/dev/null && return 0
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_for_end SECONDS: until the program has ended; then its exit status
# is in app_status and app_pid is cleared. False when it still runs.
wait_for_end() {
  for _ in $(seq 1 $(($1 * 10))); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && return 1
  wait "$app_pid"
  app_status=$?
  app_pid=""
  return 0
}

# fail MESSAGE: ends the test with the message and what the program wrote.
fail() {
  echo "$1"
  cat "$work/out.txt" "$work/err.txt" "$work/qzk.log" 2>/dev/null
  exit 1
}

# find_window TITLE: sets wid to the X window with exactly this title
# (waiting up to 10 s for it), or fails the test.
find_window() {
  wid=$(timeout 10 xdotool search --sync --name "^$1\$" | head -1)
  [ -n "$wid" ] || fail "no window named \"$1\""
}
