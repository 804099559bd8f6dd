#!/usr/bin/env bash
# The folder as the program shares it: a second copy, temporary files left by a
# crash, symbolic links, and whatever reaches the Length field.
source "$(dirname "$0")/lib.sh"

# A second copy beside the same files says so, ends with status 0 and writes
# nothing; the first keeps working and its records are all there.
fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
FIRST_PID=$APP_PID
add_record "first copy"
cp "$WORK/app/quorvel.key" "$WORK/key.before"
cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
(cd "$WORK/app" && exec "$WORK/app/quorvel") >"$WORK/second.log" 2>&1 &
APP_PID=$!
for _ in $(seq 1 50); do
  grep -q "Quorvel is already running from this folder." "$WORK/second.log" && break
  sleep 0.1
done
grep -q "Quorvel is already running from this folder." "$WORK/second.log" || fail "the second copy did not say so"
for _ in $(seq 1 30); do
  kill -0 "$APP_PID" 2>/dev/null || break
  press_return_everywhere
  sleep 0.2
done
wait_exit 50 || fail "the second copy did not end"
[ "$EXIT_STATUS" = 0 ] || fail "the second copy ended with status $EXIT_STATUS"
cmp -s "$WORK/key.before" "$WORK/app/quorvel.key" || fail "the second copy changed the key file"
cmp -s "$WORK/dat.before" "$WORK/app/quorvel.dat" || fail "the second copy changed the record file"
[ "$(ls "$WORK/app" | wc -l)" = 3 ] || fail "the second copy left files: $(ls "$WORK/app")"
APP_PID=$FIRST_PID
MAIN=$(main_window) || fail "the first copy's window is gone"
add_record "still first"
# The header line and two records of two fields each.
[ "$(record_lines)" = 5 ] || fail "the first copy lost a record"
[ "$(decrypt_line "$WORK/app" 1)" = "first copy" ] || fail "first record"
[ "$(decrypt_line "$WORK/app" 3)" = "still first" ] || fail "second record"

# Whatever reaches the Length field (here a middle-click paste), Generate
# makes at most 999 characters: a length that is not one to three digits
# generates nothing.
click_copy_generated
before=$(clipboard)
offer_selection primary 5000
click_main 25 58
xdotool key End
xdotool click 2
sleep 0.3
click_generate
click_copy_generated
[ "$(clipboard)" = "$before" ] || fail "a pasted length generated ${#before} -> $(clipboard | wc -c) characters"
kill -0 "$APP_PID" 2>/dev/null || fail "a pasted length ended the program"
end_selection
stop_app

# Temporary files that an interrupted save or key creation left behind go at
# the next start; nothing else does.
for name in quorvel.dat.tmpAbC123 quorvel.key.tmpXyZ789 quorvel.dat.pending.tmp000000; do
  printf 'debris' >"$WORK/app/$name"
done
printf 'mine' >"$WORK/app/quorvel.dat.tmpother"
printf 'mine' >"$WORK/app/notes.tmp123456"
start_app
main_window >/dev/null || fail "no main window"
stop_app
for name in quorvel.dat.tmpAbC123 quorvel.key.tmpXyZ789 quorvel.dat.pending.tmp000000; do
  [ ! -e "$WORK/app/$name" ] || fail "leftover $name not removed"
done
[ -e "$WORK/app/quorvel.dat.tmpother" ] && [ -e "$WORK/app/notes.tmp123456" ] || fail "a file of someone else's went"

# A record file and a key file that are symbolic links stay links; their
# targets get the saved records and, after re-keying, the new key.
mkdir -p "$WORK/store"
mv "$WORK/app/quorvel.dat" "$WORK/store/records"
mv "$WORK/app/quorvel.key" "$WORK/store/key"
ln -s ../store/records "$WORK/app/quorvel.dat"
ln -s "$WORK/store/key" "$WORK/app/quorvel.key"
start_app
MAIN=$(main_window) || fail "no main window with linked files"
add_record "through a link"
stop_app
[ -L "$WORK/app/quorvel.dat" ] || fail "the record file's link was replaced"
[ "$(record_lines "$WORK/app")" = 7 ] || fail "the link's target did not get the record"
[ "$(cd "$WORK/app" && decrypt_line . 5)" = "through a link" ] || fail "record saved through the link"
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || fail "re-keying linked files: $(cat "$WORK/rekey.log")"
[ -L "$WORK/app/quorvel.dat" ] && [ -L "$WORK/app/quorvel.key" ] || fail "re-keying replaced a link"
cmp -s "$WORK/store/key" "$WORK/app/quorvel.key" || fail "the key link's target"
[ "$(cd "$WORK/app" && decrypt_line . 5)" = "through a link" ] || fail "re-keyed records through the links"
[ -z "$(ls "$WORK/store" | grep -v '^key$\|^records$')" ] || fail "files left beside the targets: $(ls "$WORK/store")"
echo "folder: ok"
