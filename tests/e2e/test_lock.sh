#!/usr/bin/env bash
# File > Lock (Ctrl+L) of a sealed pair: the main window goes, nothing
# shown stays in the program's memory or on the clipboard, the passphrase
# window asks as at start, and unlocking reads the pair again, merging a
# change made meanwhile, with the same record chosen. Without a passphrase
# there is nothing to lock.
source "$(dirname "$0")/lib.sh"
PASS='lock phrase'
unlock_window() { window_of_size 340x140; }
run() { (cd "$WORK" && "$WORK/app/quorvel" "$@") >"$WORK/out.log" 2>&1; }
fresh_folder
write_key "$WORK/app/quorvel.key"
/usr/bin/python3 "$E2E_DIR/quorvel_files.py" write "$WORK/app" 1 Bank pw-bank-4711 Mail pw-mail-0815 \
  +username=alice '+notes=note-9931' +otp=JBSWY3DPEHPK3PXP Club pw-club-2024

start_app
MAIN=$(main_window) || fail "no main window"
xdotool mousemove --window "$MAIN" 300 100 key ctrl+l
sleep 1
visible_window_of_size 640x347 >/dev/null || fail "a pair without a passphrase was locked"
stop_app
printf '%s\n%s\n' "$PASS" "$PASS" | run --passphrase || fail "--passphrase: $(cat "$WORK/out.log")"
# The next version of the file, with one more record, for a sync tool to
# bring in while the program is locked.
cp "$WORK/app/quorvel.dat" "$WORK/before.dat"
printf 'name,url,username,password\nShop,,,pw-shop\n' >"$WORK/in.csv"
printf '%s\n' "$PASS" | run --import in.csv || fail "import: $(cat "$WORK/out.log")"
mv "$WORK/app/quorvel.dat" "$WORK/next.dat"
cp "$WORK/before.dat" "$WORK/app/quorvel.dat"

unlock() {
  local window
  window=$(unlock_window) || fail "no unlock window"
  xdotool mousemove --window "$window" 170 60 type --delay 20 "$PASS"
  xdotool key Return
  MAIN=$(main_window) || fail "the passphrase did not bring the main window back"
}
start_app
unlock
# Unlocked, only the password shown is in memory as text: not Club's, never
# shown, nor Bank's once Mail is chosen, nor any notes or one-time secret.
for _ in $(seq 1 20); do in_memory pw-bank-4711 && break; sleep 0.2; done
in_memory pw-bank-4711 || fail "the memory scan does not find the password shown"
for secret in pw-club-2024 pw-mail-0815 note-9931 JBSWY3DPEHPK3PXP; do
  in_memory "$secret" && fail "$secret, never shown, is in the program's memory as text"
done
# Mail chosen, its password copied, then locked.
click_records 360 10
xdotool type --delay 30 "mail"
xdotool key Return
sleep 0.3
click_records 459 58
[ "$(clipboard)" = pw-mail-0815 ] || fail "Mail's password was not copied: $(clipboard)"
for secret in pw-bank-4711 pw-club-2024 note-9931 JBSWY3DPEHPK3PXP; do
  in_memory "$secret" && fail "$secret is in the program's memory as text while Mail is chosen"
done
# Ctrl+L is the menu's even while typing in the find field.
click_records 360 10
xdotool key ctrl+l
unlock_window >/dev/null || fail "Ctrl+L did not lock"
visible_window_of_size 640x347 >/dev/null && fail "the main window stays while locked"
[ -z "$(clipboard)" ] || fail "the clipboard keeps the password while locked"
for secret in pw-mail-0815 pw-bank-4711 alice note-9931 Bank Club; do
  in_memory "$secret" && fail "$secret is still in the program's memory while locked"
done
# Meanwhile a record comes in from elsewhere.
cp "$WORK/next.dat" "$WORK/app/quorvel.dat.sync"
mv "$WORK/app/quorvel.dat.sync" "$WORK/app/quorvel.dat"
unlock
click_records 459 58
[ "$(clipboard)" = pw-mail-0815 ] || fail "Mail is not chosen again after the unlock: $(clipboard)"
click_records 360 10
xdotool key ctrl+a BackSpace
xdotool type --delay 30 "shop"
xdotool key Return
sleep 0.3
click_records 459 58
[ "$(clipboard)" = pw-shop ] || fail "the record that came in meanwhile is not shown: $(clipboard)"
stop_app

# Cancelled, the lock's passphrase window ends the program.
start_app
unlock
xdotool mousemove --window "$MAIN" 300 100 key ctrl+l
UNLOCK=$(unlock_window) || fail "Ctrl+L did not lock the second time"
click "$UNLOCK" 225 118
wait_exit 50 || fail "cancelling the locked window did not end the program"
[ "$EXIT_STATUS" = 0 ] || fail "cancelling ended with $EXIT_STATUS"

# It locks itself when the X screen saver turns on, and after the lock time
# without input on the display (five minutes, each made 100 ms long here).
for trigger in "screen saver" idle; do
  if [ "$trigger" = idle ]; then export QUORVEL_LOCK_MINUTE_MS=100; fi
  start_app
  unlock
  if [ "$trigger" = "screen saver" ]; then
    sleep 0.5
    xset s activate
  fi
  UNLOCK=$(unlock_window) || fail "the $trigger did not lock the pair"
  visible_window_of_size 640x347 >/dev/null && fail "the main window stays once the $trigger locked"
  xset s reset
  click "$UNLOCK" 225 118
  wait_exit 50 || fail "cancelling after the $trigger lock did not end the program"
done

# lock-after-minutes=0 in quorvel.conf: never on idle.
printf 'lock-after-minutes=0\n' >"$WORK/app/quorvel.conf"
start_app
unlock
sleep 2
visible_window_of_size 640x347 >/dev/null || fail "locked on idle with lock-after-minutes=0"
stop_app
