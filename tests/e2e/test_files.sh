#!/usr/bin/env bash
# What reaches the disk: the migration of a legacy plain record file, and a
# save that fails (the old file stays, the status bar says so).
source "$(dirname "$0")/lib.sh"

# A legacy plain record file beside a fresh program is rewritten encrypted
# at once, with the surrounding spaces and control characters trimmed.
fresh_folder
printf '  my bank \t\r\n  pass word  \r\nmail\n\x01secret\x02\r\n' >"$WORK/app/quorvel.dat"
start_app
MAIN=$(main_window) || fail "no main window after migration"
[ -f "$WORK/app/quorvel.key" ] || fail "no key file created"
# A header line, then the two records' fields.
[ "$(record_lines)" = 5 ] || fail "migrated file should hold 5 lines"
grep -qv '^[0-9A-F]*'$'\r''$' "$WORK/app/quorvel.dat" && fail "migrated file is not upper-case hexadecimal"
[ "$(decrypt_line "$WORK/app" 1)" = "my bank" ] || fail "migrated description 1"
[ "$(decrypt_line "$WORK/app" 2)" = "pass word" ] || fail "migrated password 1"
[ "$(decrypt_line "$WORK/app" 3)" = "mail" ] || fail "migrated description 2"
[ "$(decrypt_line "$WORK/app" 4)" = "secret" ] || fail "migrated password 2"
[ "$(file_mode "$WORK/app/quorvel.dat")" = 600 ] || fail "migrated file mode"
# The first record is selected and its password is in the records area.
click_records 459 58
[ "$(clipboard)" = "pass word" ] || fail "first migrated record not shown"
stop_app

# A file encrypted elsewhere with the same key, in the earlier headerless
# layout that Quorvel 1.2 wrote, loads as the program shows it.
printf '%s\r\n%s\r\n' "$(encrypt_text "$WORK/app" "outside" 1)" "$(encrypt_text "$WORK/app" "pw-1" 2)" \
  >"$WORK/app/quorvel.dat"
start_app
MAIN=$(main_window) || fail "no main window"
click_records 459 58
[ "$(clipboard)" = "pw-1" ] || fail "independently encrypted record not read"
stop_app

# A save that cannot be written: files are limited to 1 KiB, and a
# 999-character password makes the record file larger than that.
cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
(cd "$WORK/app" && trap '' XFSZ && ulimit -f 1 && exec "$WORK/app/quorvel") >"$WORK/out.log" 2>&1 &
APP_PID=$!
MAIN=$(main_window) || fail "no main window"
click_main 25 58
xdotool key End BackSpace BackSpace
xdotool type "999"
add_record "too long"
for _ in $(seq 1 50); do
  same_as_reference "$MAIN" 630x18+5+327 status-save-failed && break
  sleep 0.1
done
same_as_reference "$MAIN" 630x18+5+327 status-save-failed ||
  fail "the status bar does not show the failed-save message"
cmp -s "$WORK/dat.before" "$WORK/app/quorvel.dat" || fail "a failed save changed the record file"
# quorvel.conf, small enough to be written, keeps the Length typed.
[ "$(ls "$WORK/app" | grep -vx quorvel.conf | wc -l)" = 3 ] || fail "a failed save left files behind: $(ls "$WORK/app")"
shot "$MAIN" "$WORK/failed-save.png"
stop_app

# A pair made by an earlier version with an "rc4" key file keeps working in
# RC4, byte for byte: its records load, and a new record is saved in RC4
# beside the untouched old lines.
fresh_folder
write_rc4_key "$WORK/app"
printf '%s\r\n%s\r\n' "$(encrypt_text "$WORK/app" "old bank")" "$(encrypt_text "$WORK/app" "old-pw")" \
  >"$WORK/app/quorvel.dat"
cp "$WORK/app/quorvel.key" "$WORK/key.before"
cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
start_app
MAIN=$(main_window) || fail "no main window for an rc4 pair"
click_records 459 58
[ "$(clipboard)" = "old-pw" ] || fail "rc4 record not read"
add_record "new one"
[ "$(record_lines)" = 4 ] || fail "rc4 pair should hold 4 lines"
cmp -s "$WORK/key.before" "$WORK/app/quorvel.key" || fail "the rc4 key file changed"
[ "$(head -c "$(stat -c %s "$WORK/dat.before")" "$WORK/app/quorvel.dat")" = "$(cat "$WORK/dat.before")" ] ||
  fail "the old rc4 lines changed"
[ "$(decrypt_line "$WORK/app" 3)" = "new one" ] || fail "new record not saved in rc4"
[ "$(sed -n 3p "$WORK/app/quorvel.dat" | tr -d '\r\n' | wc -c)" = 14 ] || fail "rc4 line is not one byte per character"
stop_app
echo "files: ok"
