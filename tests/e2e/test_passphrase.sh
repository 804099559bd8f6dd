#!/usr/bin/env bash
# A passphrase seals the pair: set and removed from the terminal and the
# window, asked for at start (wrong, then right; or cancelled), kept by a
# re-keying; the sealed files are read by an independent implementation,
# and the process keeps its memory to itself.
source "$(dirname "$0")/lib.sh"
PASS='pass phrase ü'

unlock_window() { window_of_size 340x140; }

fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "bank"
add_record "mail"
stop_app
plain=$(dump) || fail "the new pair does not read independently"
[ "$(sed -n 1p <<<"$plain")" = bank ] || fail "first description: $plain"

# Sealed from a script: the new passphrase twice on standard input.
printf '%s\n%s\n' "$PASS" "$PASS" | "$WORK/app/quorvel" --passphrase >"$WORK/out.log" 2>&1 ||
  fail "--passphrase failed"
params=$(sed -n 2p "$WORK/app/quorvel.key" | tr -d '\r')
[[ $params =~ ^argon2id,v=19,m=([0-9]+),t=([0-9]+),p=4,salt=[0-9A-F]{32}$ ]] &&
  [ "${BASH_REMATCH[1]}" -ge 65536 ] && [ "${BASH_REMATCH[2]}" -ge 3 ] || fail "sealed parameters: $params"
[ "$(QUORVEL_PASSPHRASE="$PASS" dump)" = "$plain" ] || fail "the sealed pair does not read with the passphrase"
QUORVEL_PASSPHRASE="pass phrase u" dump 2>/dev/null && fail "the sealed pair reads with another passphrase"
# No line of the key file is a key that opens the record file's header.
/usr/bin/python3 - "$WORK/app" <<'PY' || fail "a key-file line opens the records"
import sys
from cryptography.hazmat.primitives.ciphers.aead import AESGCM
folder = sys.argv[1]
header = bytes.fromhex(open(f"{folder}/quorvel.dat").readline().strip())
for line in open(f"{folder}/quorvel.key", "rb").read().split(b"\r\n"):
    for candidate in (line, bytes.fromhex(line.decode()) if len(line) % 2 == 0 and line.isalnum() else b""):
        for key in (candidate[:32], candidate[-32:]):
            try:
                AESGCM(key.ljust(32, b"\0")).decrypt(header[24:36], header[36:], header[:24])
                sys.exit(1)
            except Exception:
                pass
PY
cp "$WORK/app/quorvel.key" "$WORK/sealed.key"
cp "$WORK/app/quorvel.dat" "$WORK/sealed.dat"

# Cancel, or closing the window, at the start: status 0, nothing written.
for way in cancel close; do
  start_app
  UNLOCK=$(unlock_window) || fail "no unlock window"
  visible_window_of_size 640x347 >/dev/null && fail "the main window shows before the unlock"
  if [ $way = cancel ]; then click "$UNLOCK" 225 118; else "$WM_CLOSE" "$UNLOCK"; fi
  wait_exit 50 || fail "$way did not end the program"
  [ "$EXIT_STATUS" = 0 ] || fail "$way ended with $EXIT_STATUS"
  cmp -s "$WORK/sealed.key" "$WORK/app/quorvel.key" && cmp -s "$WORK/sealed.dat" "$WORK/app/quorvel.dat" ||
    fail "$way changed the files"
done

# A wrong passphrase, then the right one; Enter is OK. The window holds the
# keyboard: another client cannot grab it, and keys typed with the pointer
# elsewhere (the focus follows it here) still reach the window.
start_app
UNLOCK=$(unlock_window) || fail "no unlock window"
for _ in $(seq 1 30); do [ "$(other_keyboard_grab)" = 1 ] && break; sleep 0.1; done
[ "$(other_keyboard_grab)" = 1 ] || fail "another client could grab the keyboard from the unlock window"
xdotool mousemove --window "$UNLOCK" 170 60
xdotool type --delay 20 "wrong"
xdotool key Return
for _ in $(seq 1 50); do same_as_reference "$UNLOCK" 340x140+0+0 unlock-wrong && break; sleep 0.2; done
same_as_reference "$UNLOCK" 340x140+0+0 unlock-wrong || fail "the window does not say the passphrase was wrong"
xdotool mousemove 1000 900
xdotool type --delay 20 "$PASS"
xdotool key Return
MAIN=$(main_window) || fail "the right passphrase did not open the main window"
[ "$(other_keyboard_grab)" = 0 ] || fail "the keyboard stays grabbed once the unlock window closed"
grep -q '^Max core file size *0 *0 ' "/proc/$APP_PID/limits" || fail "core files are allowed"
# The passphrase is in no buffer once the records are open.
in_memory "$PASS" && fail "the passphrase is still in the program's memory"
click_records 459 58
[ "$(clipboard)" = "$(sed -n 2p <<<"$plain")" ] || fail "the unlocked record was not copied"
stop_app
cmp -s "$WORK/sealed.key" "$WORK/app/quorvel.key" || fail "unlocking changed the key file"

# Re-keying keeps the pair sealed under the same passphrase.
printf '%s\n' "$PASS" | "$WORK/app/quorvel" --rekey >"$WORK/out.log" 2>&1 || fail "--rekey of a sealed pair failed"
cmp -s "$WORK/sealed.key" "$WORK/app/quorvel.key" && fail "--rekey kept the key"
[ "$(QUORVEL_PASSPHRASE="$PASS" dump)" = "$plain" ] || fail "the re-keyed pair does not read with the passphrase"
printf 'nope\n' | "$WORK/app/quorvel" --rekey >"$WORK/out.log" 2>&1 && fail "--rekey took a wrong passphrase"

# Another program of the same, ordinary user can neither read the process's
# memory nor trace it.
choose_test_user
chown -R "$TEST_USER" "$WORK/app"
chmod 755 "$WORK"
as_test_user "$WORK" /usr/bin/python3 - "$WORK/app/quorvel" <<'PY' || fail "another program read the process's memory"
import subprocess, sys, time
child = subprocess.Popen([sys.argv[1], "--passphrase"], stdin=subprocess.PIPE, stderr=subprocess.PIPE)
child.stderr.read(len("Passphrase: "))  # it now waits for the passphrase
try:
    with open(f"/proc/{child.pid}/maps") as maps:
        start = int(maps.readline().split("-")[0], 16)
    with open(f"/proc/{child.pid}/mem", "rb") as mem:
        mem.seek(start)
        mem.read(16)
    sys.exit(1)
except PermissionError:
    pass
finally:
    child.stdin.close()
    child.wait()
PY
chown -R root "$WORK/app"

# Removed from a script: the current passphrase, then an empty one twice.
printf '%s\n\n\n' "$PASS" | "$WORK/app/quorvel" --passphrase >"$WORK/out.log" 2>&1 || fail "removing failed"
[ -z "$(sed -n 2p "$WORK/app/quorvel.key" | tr -d '\r')" ] || fail "still sealed after the removal"
[ "$(dump)" = "$plain" ] || fail "the opened pair does not read"

# Sealed from the window: File > "Set passphrase…", the new one twice.
start_app
MAIN=$(main_window) || fail "no main window"
click_main 14 -13
click_main 25 9
DIALOG=$(window_of_size 340x188) || fail "no passphrase window"
for _ in $(seq 1 30); do [ "$(other_keyboard_grab)" = 1 ] && break; sleep 0.1; done
[ "$(other_keyboard_grab)" = 1 ] || fail "another client could grab the keyboard from the passphrase window"
xdotool mousemove --window "$DIALOG" 170 60
xdotool type --delay 20 "window pass"
xdotool key Tab
xdotool type --delay 20 "window pass"
xdotool key Return
for _ in $(seq 1 100); do visible_window_of_size 340x188 >/dev/null || break; sleep 0.1; done
visible_window_of_size 340x188 >/dev/null && fail "the passphrase window stayed open"
[ "$(other_keyboard_grab)" = 0 ] || fail "the keyboard stays grabbed once the passphrase window closed"
stop_app
[ "$(QUORVEL_PASSPHRASE="window pass" dump)" = "$plain" ] || fail "the window did not seal the pair"
echo "passphrase: ok"
