#!/usr/bin/env bash
# File > "Settings…": a bad value writes nothing; OK writes quorvel.conf, in force at once and after a restart;
# Cancel changes nothing. A malformed quorvel.conf starts with the defaults and a status bar note, and stays.
# The generator's choices in the main window are kept there too and hold after a restart.
source "$(dirname "$0")/lib.sh"
fresh_folder
CONF=$WORK/app/quorvel.conf
open_settings() {
  click_main 14 -13
  click_main 25 28
  SETTINGS=$(window_of_size 400x164) || fail "no settings window"
}
# set_field <y> <text>: replaces the text of the field at that height.
set_field() { click "$SETTINGS" 40 "$1" && xdotool key ctrl+a BackSpace type --delay 20 "$2"; }
settings_open() { sleep 0.5 && visible_window_of_size 400x164 >/dev/null; }

start_app
MAIN=$(main_window) || fail "no main window"
open_settings
set_field 85 31
xdotool key Return
settings_open && [ ! -e "$CONF" ] || fail "a clipboard time of 31 closed the window or wrote quorvel.conf"
set_field 85 3
xdotool key Return
settings_open && fail "OK did not close the settings window"
[ "$(cat "$CONF")" = $'lock-after-minutes=5\nclipboard-seconds=3' ] && [ "$(file_mode "$CONF")" = 600 ] ||
  fail "quorvel.conf holds: $(cat -A "$CONF"), mode $(file_mode "$CONF")"
# In force at once: a copied password leaves the clipboard after 3 s, not 30.
click_generate
click_copy_generated
[[ "$(clipboard)" =~ ^[a-f0-9]{20}$ ]] || fail "nothing copied"
for _ in $(seq 1 60); do [ -z "$(clipboard)" ] && break; sleep 0.1; done
[ -z "$(clipboard)" ] || fail "the clipboard still holds the password 6 s after a copy"

# After a restart the window shows the saved value; Cancel writes nothing.
stop_app
cp "$CONF" "$WORK/conf.saved"
start_app
MAIN=$(main_window) || fail "no main window after the restart"
open_settings
click "$SETTINGS" 40 85 && xdotool key ctrl+a ctrl+c sleep 0.3
[ "$(clipboard)" = 3 ] || fail "the settings window shows a clipboard time of '$(clipboard)'"
set_field 37 60
click "$SETTINGS" 260 144
settings_open && fail "Cancel did not close the settings window"
cmp -s "$CONF" "$WORK/conf.saved" || fail "Cancel changed quorvel.conf"
stop_app

printf 'lock-after-minutes=soon\n# mine\n' >"$CONF"
cp "$CONF" "$WORK/conf.malformed"
start_app
MAIN=$(main_window) || fail "a malformed quorvel.conf stopped the start"
for _ in $(seq 1 50); do same_as_reference "$MAIN" 630x18+5+327 status-settings-note && break; sleep 0.1; done
same_as_reference "$MAIN" 630x18+5+327 status-settings-note || fail "the status bar does not note the malformed value"
cmp -s "$CONF" "$WORK/conf.malformed" || fail "the start changed quorvel.conf"

# The generator's choices: Symbols, then Words with a word count and a separator, ticked and typed in the
# window, make passwords of that shape, are kept in quorvel.conf, and make the same after a restart; a space
# separator is kept by its name.
generated() {
  click_generate
  click_copy_generated
  [[ "$(clipboard)" =~ $1 ]] || fail "generated '$(clipboard)', not $1"
}
stop_app
fresh_folder
cp "$(dirname "$BINARY")/wordlist_en_eff.txt" "$WORK/app/"
start_app
MAIN=$(main_window) || fail "no main window"
click_main 490 34
generated '^[!-/:-@[-`{-~]{20}$'
click_main 410 58
click_main 478 58 && xdotool key End BackSpace BackSpace type 5
click_main 576 58 && xdotool type .
generated '^[a-z-]+(\.[a-z-]+){4}$'
for line in generator-symbols=1 generator-words=1 generator-word-count=5 generator-separator=.; do
  grep -qx "$line" "$CONF" || fail "quorvel.conf lacks $line: $(cat "$CONF")"
done
stop_app
start_app
MAIN=$(main_window) || fail "no main window after the restart"
generated '^[a-z-]+(\.[a-z-]+){4}$'
click_main 576 58 && xdotool key space
generated '^[a-z-]+( [a-z-]+){4}$'
grep -qx generator-separator=space "$CONF" || fail "quorvel.conf holds: $(cat "$CONF")"
stop_app
start_app
MAIN=$(main_window) || fail "no main window after the second restart"
generated '^[a-z-]+( [a-z-]+){4}$'
# Without the word list Words cannot be ticked: Symbols makes the password, and Words stays chosen in quorvel.conf.
stop_app
rm "$WORK/app/wordlist_en_eff.txt"
start_app
MAIN=$(main_window) || fail "no main window without the word list"
generated '^[!-/:-@[-`{-~]{20}$'
grep -qx generator-words=1 "$CONF" || fail "a start without the word list dropped Words: $(cat "$CONF")"
echo "settings: ok"
