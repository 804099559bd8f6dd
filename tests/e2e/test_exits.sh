#!/usr/bin/env bash
# Every way out ends the program at once: status 0 for the ways a person
# takes, status 1 when the display goes away.
source "$(dirname "$0")/lib.sh"
[ -n "$WM_CLOSE" ] || fail "usage: test_exits.sh <quorvel> <wm_close>"

expect_exit_0() {
  wait_exit 50 || fail "$1: the program did not end"
  [ "$EXIT_STATUS" = 0 ] || fail "$1: exit status $EXIT_STATUS"
}

fresh_folder
# A close request for the main window.
start_app
MAIN=$(main_window) || fail "no main window"
"$WM_CLOSE" "$MAIN"
expect_exit_0 "closing the main window"

# Escape in the main window is not a close request.
start_app
MAIN=$(main_window) || fail "no main window"
xdotool mousemove --window "$MAIN" 300 100 key Escape
sleep 0.5
kill -0 "$APP_PID" 2>/dev/null || fail "Escape ended the program"

# A close request for the main window while the prompt is open, and one for
# the prompt itself.
for target in main prompt; do
  [ -n "$APP_PID" ] || { start_app; MAIN=$(main_window) || fail "no main window"; }
  click_generate
  click_main 534 106
  PROMPT=$(prompt_window) || fail "no prompt"
  if [ "$target" = main ]; then "$WM_CLOSE" "$MAIN"; else "$WM_CLOSE" "$PROMPT"; fi
  expect_exit_0 "closing the $target window with the prompt open"
  [ ! -e "$WORK/app/quorvel.dat" ] || fail "closing saved a record"
done

# A protocol error (here the answer to a clipboard request from a window
# that is gone) is reported once and the program goes on.
[ -n "$STRAY_REQUEST" ] || fail "usage: test_exits.sh <quorvel> <wm_close> <stray_request>"
start_app
MAIN=$(main_window) || fail "no main window"
click_generate
click_copy_generated
"$STRAY_REQUEST" >/dev/null || fail "no clipboard owner to ask"
"$STRAY_REQUEST" >/dev/null || fail "no clipboard owner to ask"
sleep 0.5
kill -0 "$APP_PID" 2>/dev/null || fail "an X protocol error ended the program"
[ "$(grep -c "^quorvel: X error BadWindow" "$WORK/out.log")" = 1 ] || fail "the X error was not reported once"
click_generate
click_copy_generated
[[ "$(clipboard)" =~ ^[a-f0-9]{20}$ ]] || fail "the program stopped working after an X error"
stop_app

# The server drops the program's connection (as when the X session ends).
start_app
MAIN=$(main_window) || fail "no main window"
xkill -id "$MAIN" >/dev/null
wait_exit 50 || fail "losing the display: the program did not end"
[ "$EXIT_STATUS" = 1 ] || fail "losing the display: exit status $EXIT_STATUS"
grep -q "^quorvel: the connection to the X display was lost$" "$WORK/out.log" || fail "losing the display: no message"
echo "exits: ok"
