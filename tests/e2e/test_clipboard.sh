#!/usr/bin/env bash
# A copied password leaves the clipboard after a while (shortened here through
# the program's test seam) and when the program ends; what another program
# copied meanwhile stays.
source "$(dirname "$0")/lib.sh"
export QUORVEL_CLIPBOARD_MS=1500
fresh_folder

# Waits up to 5 s for the clipboard to hold <text>.
clipboard_becomes() {
  for _ in $(seq 1 50); do
    [ "$(clipboard)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

start_app
MAIN=$(main_window) || fail "no main window"
click_generate
click_copy_generated
generated=$(clipboard)
[[ "$generated" =~ ^[a-f0-9]{20}$ ]] || fail "nothing copied: '$generated'"
clipboard_becomes "" || fail "the clipboard still holds the password after the delay"
kill -0 "$APP_PID" 2>/dev/null || fail "clearing the clipboard ended the program"

# Something copied by another program before the delay is over survives it.
click_copy_generated
[ "$(clipboard)" = "$generated" ] || fail "second copy"
offer_selection clipboard "from elsewhere"
sleep 2.5
[ "$(clipboard)" = "from elsewhere" ] || fail "another program's clipboard was cleared: '$(clipboard)'"
end_selection

# The chosen record's user name and current one-time code have Copy buttons
# of their own, and leave the clipboard the same way.
stop_app
fresh_folder
write_key "$WORK/app/quorvel.key"
/usr/bin/python3 "$E2E_DIR/quorvel_files.py" write "$WORK/app" 1 Mail pw-mail +username=alice "+otp=$RFC_SECRET"
start_app
MAIN=$(main_window) || fail "no main window"
click_records 459 103
clipboard_becomes alice || fail "the user name's Copy: '$(clipboard)'"
clipboard_becomes "" || fail "the clipboard still holds the user name after the delay"
for _ in 1 2 3; do
  want=$(rfc_code_now)
  click_records 611 103
  clipboard_becomes "$want" && break
done
[ "$(clipboard)" = "$want" ] || fail "the code's Copy: '$(clipboard)', not $want"
clipboard_becomes "" || fail "the clipboard still holds the code after the delay"

# The shown password: a mouse selection in it reaches no PRIMARY selection
# (the user name's still does), and Ctrl+C in it copies through the same
# clipboard, which offers clipboard managers the hint to keep no history and
# is cleared after the delay.
export QUORVEL_CLIPBOARD_MS=4000
stop_app
start_app
MAIN=$(main_window) || fail "no main window"
click_main 115 34
primary() { xclip -o -selection primary 2>/dev/null || true; }
# drag_records <from x> <to x> <y>: a left-button drag across the records panel.
drag_records() {
  xdotool mousemove --window "$MAIN" "$1" $(($3 + 169)) mousedown 1
  sleep 0.2
  xdotool mousemove --window "$MAIN" "$2" $(($3 + 169))
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}
drag_records 92 430 103
[ "$(primary)" = alice ] || fail "a selected user name is not in PRIMARY: '$(primary)'"
drag_records 12 430 60
[ -z "$(primary)" ] || fail "a selected password went to PRIMARY: '$(primary)'"
[ -z "$(clipboard)" ] || fail "selecting the password put '$(clipboard)' on the clipboard"
xdotool key ctrl+c
clipboard_becomes pw-mail || fail "Ctrl+C in the password: '$(clipboard)'"
targets=$(xclip -o -selection clipboard -t TARGETS 2>/dev/null || true)
for target in UTF8_STRING STRING TEXT 'text/plain;charset=utf-8' x-kde-passwordManagerHint; do
  grep -qxF "$target" <<<"$targets" || fail "the clipboard does not offer $target: $targets"
done
grep -qx SAVE_TARGETS <<<"$targets" && fail "the clipboard offers SAVE_TARGETS"
[ "$(xclip -o -selection clipboard -t x-kde-passwordManagerHint)" = secret ] || fail "the hint is not 'secret'"
clipboard_becomes "" || fail "the clipboard still holds the password Ctrl+C copied after the delay"

# File > Exit before the delay: the clipboard is empty once the program ended.
export QUORVEL_CLIPBOARD_MS=25000
stop_app
start_app
MAIN=$(main_window) || fail "no main window"
click_generate
click_copy_generated
[[ "$(clipboard)" =~ ^[a-f0-9]{20}$ ]] || fail "nothing copied before exit"
click "$MAIN" 15 12
sleep 0.3
xdotool key Down Down Down Down Down Down Return
wait_exit 50 || fail "File > Exit did not end the program"
[ -z "$(clipboard)" ] || fail "the clipboard holds '$(clipboard)' after the program ended"
echo "clipboard: ok"
