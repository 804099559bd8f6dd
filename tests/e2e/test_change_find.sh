#!/usr/bin/env bash
# Finding a record by typing, and changing a record's description and
# password through the window: the list narrows and maps its items to the
# right records, the file decrypts independently to the new values, and the
# old password is gone from the process's memory.
source "$(dirname "$0")/lib.sh"
# The keyboard follows the pointer onto the window only after a moment.
click_find() { click_records 360 10; sleep 0.5; }
change_window() { window_of_size 360x372; }
copied_record() { click_records 459 58; clipboard; }
# Opens the records list and waits for its menu to show; the arrow keys and
# Return then choose in it.
open_records_list() {
  local before
  before=$(xdotool search --onlyvisible --name '' 2>/dev/null | tr '\n' ' ')
  xdotool mousemove --window "$MAIN" 219 $((25 + 144 + 34)) click 1
  for _ in $(seq 1 50); do
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do [[ " $before " == *" $id "* ]] || return 0; done
    sleep 0.1
  done
  fail "the records list did not open"
}

fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "bank"
add_record "shop"
add_record "Mail"
mapfile -t before < <(dump)
[ "${#before[@]}" = 6 ] || fail "three records expected: ${before[*]}"

# find_then_enter <text> <expected password>: types text into an emptied find
# field and presses Enter; the copied record must be the expected one.
find_then_enter() {
  click_find
  xdotool key ctrl+a BackSpace
  xdotool type --delay 30 "$1"
  xdotool key Return
  [ "$(copied_record)" = "$2" ]
}
# "mAI" finds Mail alone, ignoring case; Enter chooses it.
sleep 1
find_then_enter "mAI" "${before[5]}" || fail "Enter did not choose Mail: $(clipboard) vs ${before[*]}"
# "A" finds bank and Mail; Enter chooses the first of them.
find_then_enter "A" "${before[1]}" || fail "Enter did not choose bank: $(clipboard) vs ${before[*]}"
# The list's second item is now Mail (it would be shop without the find).
open_records_list
xdotool key Down Return
sleep 0.3
[ "$(copied_record)" = "${before[5]}" ] || fail "the second item found is not Mail: $(clipboard) vs ${before[*]}"
# Escape shows every record again and keeps Mail chosen: shop is above it.
click_find
xdotool key Escape
sleep 0.3
kill -0 "$APP_PID" || fail "Escape closed the window"
[ "$(copied_record)" = "${before[5]}" ] || fail "Escape changed the chosen record"
open_records_list
xdotool key Up Return
sleep 0.3
[ "$(copied_record)" = "${before[3]}" ] || fail "Escape did not show every record again"

# Change shop: a new description and the password just generated.
click_generate
click_copy_generated
generated=$(clipboard)
click_records 596 58
CHANGE=$(change_window) || fail "no change window"
click "$CHANGE" 180 37
xdotool key ctrl+a
xdotool type --delay 20 "shop two"
click "$CHANGE" 125 354
for _ in $(seq 1 50); do visible_window_of_size 360x372 >/dev/null || break; sleep 0.1; done
mapfile -t after < <(dump)
[ "${after[*]}" = "bank ${before[1]} shop two $generated Mail ${before[5]}" ] || fail "after the change: ${after[*]}"
[ "$(copied_record)" = "$generated" ] || fail "the changed record does not show its new password"

# Change it again with a typed password; the generated one is not used.
click_records 596 58
CHANGE=$(change_window) || fail "no change window"
click "$CHANGE" 180 85
xdotool type --delay 20 "typed secret 1"
# Its caption tells the typed password's strength (zxcvbn's estimate) as it is typed.
for _ in $(seq 1 30); do same_as_reference "$CHANGE" 344x20+8+54 change-strength && break; sleep 0.1; done
same_as_reference "$CHANGE" 344x20+8+54 change-strength || fail "the record window does not tell the typed strength"
click "$CHANGE" 18 112
click "$CHANGE" 125 354
for _ in $(seq 1 50); do visible_window_of_size 360x372 >/dev/null || break; sleep 0.1; done
[ "$(dump | sed -n 3,4p | tr '\n' '|')" = "shop two|typed secret 1|" ] || fail "typed password not saved: $(dump)"
# The record window lists the earlier passwords by time; Copy puts the newest on the clipboard.
click_records 596 58
CHANGE=$(change_window) || fail "no change window"
click "$CHANGE" 330 302
[ "$(clipboard)" = "$generated" ] || fail "the earlier password's Copy gave '$(clipboard)'"
click "$CHANGE" 235 354
for _ in $(seq 1 50); do visible_window_of_size 360x372 >/dev/null || break; sleep 0.1; done
# Both earlier passwords are kept, newest first, each with the time it went.
earlier=$(/usr/bin/python3 "$E2E_DIR/quorvel_files.py" fields "$WORK/app" | sed -n 's/^history=[0-9T:Z-]* //p' | tr '\n' '|')
[ "$earlier" = "$generated|${before[3]}|" ] || fail "earlier passwords: $earlier"
in_memory "typed secret 1" || fail "the memory scan does not find the password held now"
# Deleted, the record leaves neither its password nor an earlier one in any buffer.
click_records 521 58
answer_dialog Return
for _ in $(seq 1 30); do [ "$(dump | wc -l)" = 4 ] && break; sleep 0.1; done
in_memory "typed secret 1" && fail "a deleted record's password is still in the program's memory"
in_memory "${before[3]}" && fail "a deleted record's earlier password is still in the program's memory"
stop_app

# Find also looks in user names and web addresses, never in notes.
fresh_folder
write_key "$WORK/app/quorvel.key"
/usr/bin/python3 "$E2E_DIR/quorvel_files.py" write "$WORK/app" 1 bank pw-bank +url=https://bank.example.org \
  shop pw-shop +username=alice "+notes=hidden word"
start_app
MAIN=$(main_window) || fail "no main window"
sleep 1
find_then_enter "ALIce" pw-shop || fail "a user name was not found: $(clipboard)"
find_then_enter "example.org" pw-bank || fail "a web address was not found: $(clipboard)"
find_then_enter "hidden" pw-shop && fail "find looked in the notes"
# The record window edits the other fields too: shop gets a new user name
# and a second line of notes.
find_then_enter "alice" pw-shop || fail "alice not found again"
click_records 596 58
CHANGE=$(change_window) || fail "no change window"
click "$CHANGE" 220 137
xdotool key ctrl+a
xdotool type --delay 20 "bob"
click "$CHANGE" 300 270
xdotool key ctrl+End Return
xdotool type --delay 20 "line two"
click "$CHANGE" 125 354
for _ in $(seq 1 50); do visible_window_of_size 360x372 >/dev/null || break; sleep 0.1; done
shop=$(/usr/bin/python3 "$E2E_DIR/quorvel_files.py" fields "$WORK/app" | sed -n '/^description=shop$/,$p')
grep -qx "username=bob" <<<"$shop" && grep -q "^notes=hidden word$" <<<"$shop" && grep -qx "line two" <<<"$shop" &&
  grep -q "^changed=" <<<"$shop" || fail "the record window's fields were not saved: $shop"
# Deleted, the record leaves neither its notes nor its user name in any buffer
# (the record window's fields included).
find_then_enter "bob" pw-shop || fail "bob not found"
click_records 521 58
answer_dialog Return
for _ in $(seq 1 30); do [ "$(dump | wc -l)" = 2 ] && break; sleep 0.1; done
in_memory "line two" && fail "a deleted record's notes are still in the program's memory"
in_memory "hidden word" && fail "a deleted record's earlier notes are still in the program's memory"
stop_app
echo "change and find: ok"
