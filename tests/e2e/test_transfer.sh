#!/usr/bin/env bash
# Records out to CSV and back in, from the terminal and the window, and a
# record file replaced from outside while the program runs, the way a sync
# tool does it: what either side added is kept.
source "$(dirname "$0")/lib.sh"
dump() { /usr/bin/python3 "$E2E_DIR/quorvel_files.py" dump "$WORK/app"; }
run() { (cd "$WORK" && "$WORK/app/quorvel" "$@") >"$WORK/out.log" 2>&1; }
# A visible window that is not in the list given.
window_not_in() {
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    [[ " $1 " == *" $id "* ]] || { echo "$id"; return 0; }
  done
  return 1
}

fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "bank"
add_record "mail"
stop_app
records=$(dump)

# Export: owner-only, "Title,Password", and it says the file is not encrypted.
run --export out.csv || fail "--export failed"
grep -q "not encrypted" "$WORK/out.log" || fail "the export does not say it is not encrypted"
[ "$(file_mode "$WORK/out.csv")" = 600 ] || fail "export mode $(file_mode "$WORK/out.csv")"
[ "$(head -n1 "$WORK/out.csv")" = $'Title,Password\r' ] || fail "export header: $(head -n1 "$WORK/out.csv")"
# An existing file is never replaced.
cp "$WORK/out.csv" "$WORK/first.csv"
run --export out.csv && fail "--export replaced an existing file"
cmp -s "$WORK/out.csv" "$WORK/first.csv" || fail "the existing export was changed"
status=0
run --export || status=$?
[ "$status" = 2 ] || fail "--export without a file ended with $status"

# Imported into a fresh pair, the export gives the same records.
fresh_folder
start_app
main_window >/dev/null || fail "no main window"
stop_app
run --import out.csv || fail "--import failed"
grep -qx "Imported 2 records; skipped 0 (0 without a password, 0 already there)." "$WORK/out.log" ||
  fail "import summary: $(cat "$WORK/out.log")"
[ "$(dump)" = "$records" ] || fail "the imported records differ: $(dump)"
# A malformed file names its line and changes nothing.
cp "$WORK/app/quorvel.dat" "$WORK/before.dat"
printf 'Title,Password\r\nshop,"x\r\nok,y\r\n' >"$WORK/bad.csv"
run --import bad.csv && fail "a malformed file was imported"
grep -q "Line 2" "$WORK/out.log" || fail "the fault's line is not named: $(cat "$WORK/out.log")"
cmp -s "$WORK/before.dat" "$WORK/app/quorvel.dat" || fail "a malformed import changed quorvel.dat"

# While the program runs, another machine's version (one more record) is
# renamed over quorvel.dat; a record added in the window then joins both.
start_app
MAIN=$(main_window) || fail "no main window"
{
  cat "$WORK/app/quorvel.dat"
  printf '%s\r\n%s\r\n' "$(encrypt_text "$WORK/app" "from elsewhere" 5)" "$(encrypt_text "$WORK/app" "pw-there" 6)"
} >"$WORK/app/synced.tmp"
mv "$WORK/app/synced.tmp" "$WORK/app/quorvel.dat"
add_record "here"
[ "$(dump | sed -n '1p;3p;5p;7,8p' | tr '\n' '|')" = "bank|mail|here|from elsewhere|pw-there" ] ||
  fail "the merge lost a record: $(dump | tr '\n' '|')"
# A version that cannot be read with the key (another key file's) is not
# overwritten: nothing is written.
head -c 64 /dev/urandom | xxd -p -u -c 64 | sed 's/$/\r/' >"$WORK/app/other.tmp"
cp "$WORK/app/other.tmp" "$WORK/other.dat"
mv "$WORK/app/other.tmp" "$WORK/app/quorvel.dat"
add_record "later"
cmp -s "$WORK/other.dat" "$WORK/app/quorvel.dat" || fail "a file that cannot be read was overwritten"

# File > Export… asks for a file and for a confirmation, then writes it.
click_main 14 -13
click_main 25 47
CHOOSER=$(find_window "Export the records") || fail "no file chooser"
# The chooser's file name starts as the program's folder. It may still move
# or resize after it shows; the pointer (and so the keyboard) goes over it once
# it stands still.
place=""
for _ in $(seq 1 30); do
  sleep 0.3
  now=$(xdotool getwindowgeometry "$CHOOSER" 2>/dev/null | tr -d '\n')
  [ "$now" = "$place" ] && break
  place=$now
done
xdotool mousemove --window "$CHOOSER" 300 330
sleep 0.5
xdotool type --delay 20 "window.csv"
shown_before=$(xdotool search --onlyvisible --name '' 2>/dev/null | tr '\n' ' ')
xdotool key Return
for _ in $(seq 1 100); do xdotool search --onlyvisible --name "Export the records" >/dev/null || break; sleep 0.1; done
xdotool search --onlyvisible --name "Export the records" >/dev/null && fail "the file chooser did not take the name"
# The confirmation is the window that shows next; Return answers yes.
for _ in $(seq 1 100); do
  CONFIRM=$(window_not_in "$shown_before" || true)
  [ -n "$CONFIRM" ] && break
  sleep 0.1
done
[ -n "$CONFIRM" ] || fail "no confirmation before the export"
xdotool mousemove --window "$CONFIRM" 20 20
sleep 0.3
xdotool key Return
for _ in $(seq 1 50); do [ -s "$WORK/app/window.csv" ] && break; sleep 0.1; done
[ "$(grep -c . "$WORK/app/window.csv")" = 6 ] || fail "the window's export: $(cat "$WORK/app/window.csv")"
stop_app
echo "transfer: ok"
