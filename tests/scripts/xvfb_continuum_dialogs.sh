#!/usr/bin/env bash
# Soak test on a real X server: the continuum's twelve dialogs answered with
# xdotool (typing, Return, Tab, clicks on "OK", "No"), round after round in
# one session and in fresh processes, without and with a window manager
# (openbox). Every run must end with status 0, every round must finish its
# module, and the log must hold no X error.
#   xvfb_continuum_dialogs.sh BUILD_DIR SOURCE_DIR [ROUNDS [FRESH]]
# The suite runs 2 rounds in one session and 1 fresh process per manager;
# the soak is `xvfb_continuum_dialogs.sh build . 20 20` (about 10 minutes).
# Skips (77) when Xvfb, xdotool or openbox is missing.
set -u
build=$(realpath "$1"); source=$(realpath "$2")
rounds=${3:-2}; fresh=${4:-1}
kmwb="$build/kmwb"
. "$(dirname "$0")/lib/xvfb.sh"
command -v openbox >/dev/null || { echo "skip: openbox not installed"; exit 77; }
xvfb_setup "$kmwb" 1920x1080x24
cp "$source"/assets/*.bmp "$source"/assets/*.wav "$work"/

wm_pid=""
stop_wm() { [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null; wm_pid=""; }
trap 'stop_wm; xvfb_cleanup' EXIT

last=""
# dialog TITLE: waits for a window with this title other than the last
# dialog (which may still be on its way out), gives it the keyboard and
# sets wid.
dialog() {
  wid=""
  for _ in $(seq 1 200); do
    for w in $(xdotool search --name "^$1\$" 2>/dev/null); do
      [ "$w" != "$last" ] && wid=$w
    done
    [ -n "$wid" ] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the workbench ended while waiting for \"$1\" (round $round)"
    sleep 0.05
  done
  [ -n "$wid" ] || fail "no dialog \"$1\" (round $round)"
  last=$wid
  sleep 0.15
  xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
  sleep 0.05
}
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
retype() {  # clears the focused field and types a number
  xdotool key --delay 20 End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 30 "$1"
}

# One run of the continuum, from the main window's keyboard focus on its
# button to the end of the module.
answer_continuum() {
  dialog InputInt; retype 3; xdotool key Return                  # order: typed, Return
  dialog InputYesNo; click 225 180                              # with IC? No
  dialog InputInt; xdotool key Tab Return                        # members: Tab to OK, Return
  dialog InputYesNo; xdotool key Right Return                    # planets selected? No
  dialog InputYesNo; click 225 180                              # gravity? No
  dialog InputYesNo; click 225 180                              # self-correlations? No
  dialog "Enter start-date"; click 250 372                      # 1.1.1900
  dialog "Enter end-date"; click 250 372                        # 1.1.2100
  dialog InputInt; retype 3000; click 200 260                    # moments
  dialog InputYesNo; click 225 180                              # accidental? No
  local done=$(( $1 ))
  for _ in $(seq 1 600); do
    [ "$(grep -c '^module done: 1- Statistics 1 - Continuum' qzk.log)" -ge "$done" ] && return 0
    kill -0 "$app_pid" 2>/dev/null || fail "the workbench ended during round $round"
    sleep 0.1
  done
  fail "round $round did not finish"
}

start_workbench() {
  rm -f qzk.log
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$kmwb" --scale 1 >"$work/out.txt" 2>"$work/err.txt" &
  app_pid=$!
  wait_for "start-up done" 30 "$work/qzk.log" || fail "the workbench did not finish its start-up"
  find_window "Research-Program Institut K & M"
  main=$wid
  xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
  sleep 0.2
}

# The focus starts on "0- WELCOME"; Tab goes to the continuum's button.
first_round() { xdotool key Tab Return; answer_continuum "$1"; }
# After a module the Text 1 page is in front and the tab control has the
# focus: back to the Menu tab, then Tab over the menu terminal and the
# welcome button.
next_round() {
  wid=$main; xdotool windowfocus "$main" 2>/dev/null
  xdotool key --delay 30 Left Left Left Left Left Left Left Tab Tab Tab Return
  answer_continuum "$1"
}

# The quit button (at 90% across, 95% down) ends the run with status 0.
end_workbench() {
  grep -q "^X error [0-9]" qzk.log && fail "X errors were logged ($1)"
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove --window "$main" $((WIDTH * 90 / 100)) $((HEIGHT * 95 / 100 + 1)) click 1
  wait_for_end 10 || fail "the quit button did not end the workbench ($1)"
  [ "$app_status" -eq 0 ] || fail "the workbench ended with status $app_status ($1)"
  grep -q "^X error [0-9]" qzk.log && fail "X errors were logged ($1)"
}

for manager in none openbox; do
  if [ "$manager" = openbox ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    sleep 1
  fi
  start_workbench
  for round in $(seq 1 "$rounds"); do
    if [ "$round" -eq 1 ]; then first_round "$round"; else next_round "$round"; fi
  done
  end_workbench "$rounds rounds in one session, window manager: $manager"
  for round in $(seq 1 "$fresh"); do
    start_workbench
    first_round 1
    end_workbench "fresh process $round, window manager: $manager"
  done
  echo "ok: $rounds rounds in one session and $fresh fresh processes, window manager: $manager"
  stop_wm
done
exit 0
