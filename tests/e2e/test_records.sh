#!/usr/bin/env bash
# Generating, copying, adding, choosing, deleting and hiding passwords, the
# way a person does it, checked on the screen, the clipboard and the files.
source "$(dirname "$0")/lib.sh"
fresh_folder
fake_launcher
start_app
MAIN=$(main_window) || fail "no main window"

# Generate with the default length 20, case-insensitive, and copy it.
click_generate
click_copy_generated
generated=$(clipboard)
[[ "$generated" =~ ^[a-f0-9]{20}$ ]] || fail "default password '$generated'"

# The Length field takes digits and backspace only, at most three digits.
click_main 25 58
xdotool key End BackSpace BackSpace
xdotool type "1a2 "
xdotool type "34"
click_main 10 34  # Case sensitive
click_generate
click_copy_generated
long=$(clipboard)
[ ${#long} = 123 ] || fail "length 123 expected, got ${#long}"
[[ "$long" =~ [A-G] ]] || fail "case-sensitive password without upper case"
[[ "$long" =~ ^[0-9A-Ga-f]+$ ]] || fail "password alphabet: $long"

# An empty Length field makes Generate do nothing.
click_main 25 58
xdotool key End BackSpace BackSpace BackSpace
click_generate
click_copy_generated
[ "$(clipboard)" = "$long" ] || fail "generate with an empty length changed the password"
click_main 25 58
xdotool type "8"

# Add a record with surrounding spaces in its description: it is stored
# trimmed, and as the first record its password shows at once. The file holds
# the header line and the record's two field lines.
add_record "  my bank  "
[ "$(record_lines)" = 3 ] || fail "record file should hold 3 lines"
first=$(decrypt_line "$WORK/app" 2)
[ "$(decrypt_line "$WORK/app" 1)" = "my bank" ] || fail "description not stored trimmed"
click_copy_generated
[ "$first" = "$(clipboard)" ] || fail "stored password differs from the generated one"
[[ "$first" =~ ^[0-9A-Ga-f]{8}$ ]] || fail "first password '$first'"
[ "$(file_mode "$WORK/app/quorvel.dat")" = 600 ] || fail "record file mode"
click_records 459 58
[ "$(clipboard)" = "$first" ] || fail "records area does not hold the first password"

# "Add to records" is disabled again until the next generation.
click_main 534 106
sleep 0.5
prompt_window_gone || fail "a generated password could be added twice"

# A second record keeps the first one selected and shown.
add_record "mail"
[ "$(record_lines)" = 5 ] || fail "record file should hold 5 lines"
second=$(decrypt_line "$WORK/app" 4)
[[ "$second" =~ ^[0-9A-Ga-f]{8}$ ]] || fail "second password '$second'"
click_records 459 58
[ "$(clipboard)" = "$first" ] || fail "adding a record changed the shown password"

# Choosing the second description shows (and copies) its password, while
# the passwords stay hidden.
click_records 219 34
click_records 219 53
click_records 459 58
[ "$(clipboard)" = "$second" ] || fail "choosing a record did not show its password"
[ "$(pixel "$MAIN" 200 $((25 + 144 + 68)))" != "#FFFFFF" ] || fail "records area visible while hidden"

# Unchecking "Invisible passwords" shows both areas; checking hides them.
click_main 116 34
[ "$(pixel "$MAIN" 200 $((25 + 144 + 68)))" = "#FFFFFF" ] || fail "records area not shown"
[ "$(pixel "$MAIN" 200 $((25 + 116)))" = "#FFFFFF" ] || fail "generated area not shown"
shot "$MAIN" "$WORK/shown.png"
click_main 116 34
[ "$(pixel "$MAIN" 200 $((25 + 144 + 68)))" != "#FFFFFF" ] || fail "records area not hidden again"

# Deleting asks first; "No" (Escape) changes nothing.
cp "$WORK/app/quorvel.dat" "$WORK/before-delete"
click_records 521 58
answer_dialog Escape
cmp -s "$WORK/before-delete" "$WORK/app/quorvel.dat" || fail "answering no still deleted"
# "Yes" (Return) deletes the chosen record; the first is selected and shown.
click_records 521 58
answer_dialog Return
[ "$(record_lines)" = 3 ] || fail "delete did not remove the record"
[ "$(decrypt_line "$WORK/app" 1)" = "my bank" ] || fail "the wrong record was deleted"
click_records 459 58
[ "$(clipboard)" = "$first" ] || fail "after a delete the first password is not shown"

# Deleting the last record leaves an empty list and a file of its header
# alone, which tells no records.
click_records 521 58
answer_dialog Return
[ "$(record_lines)" = 1 ] && [[ "$(file_header)" =~ \ 0$ ]] ||
  fail "file not empty after the last delete"
cp "$WORK/app/quorvel.dat" "$WORK/emptied"
# Delete with no records left asks nothing and changes nothing.
windows_before=$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)
click_records 521 58
sleep 0.7
[ "$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)" = "$windows_before" ] || fail "delete without records asked"
cmp -s "$WORK/emptied" "$WORK/app/quorvel.dat" || fail "delete without records changed the file"

# The site link and the About page open through the desktop's launcher.
click_records 560 146
click_main 40 -13
click_main 58 9
sleep 0.5
grep -qx 'http://quorvel.org/' "$URL_LOG" || fail "site link not opened: $(cat "$URL_LOG")"
grep -qx 'http://quorvel.org/software.php#quorvel' "$URL_LOG" || fail "About not opened: $(cat "$URL_LOG")"
[ "$(grep -c 'http://quorvel.org/$' "$URL_LOG")" = 1 ] || fail "one click opened the link more than once"

# File > Exit (below "Set passphrase…", "Settings…", "Lock", "Import…" and
# "Export…") ends the program with status 0.
click_main 14 -13
click_main 25 104
wait_exit 50 || fail "Exit did not end the program"
[ "$EXIT_STATUS" = 0 ] || fail "Exit status $EXIT_STATUS"
echo "records: ok"
