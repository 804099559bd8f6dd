#!/usr/bin/env bash
# Takes the README's screenshots on the display in $DISPLAY:
# scripts/screenshots.sh <path to quorvel> <output folder>
set -euo pipefail
out=$(readlink -f "$2")
source "$(dirname "$0")/../tests/e2e/lib.sh" "$1"
fresh_folder
cp "$(dirname "$BINARY")/wordlist_en_eff.txt" "$WORK/app/"
# A record with every field, as an import brings it, then one added in the window.
write_key "$WORK/app/quorvel.key"
/usr/bin/python3 "$E2E_DIR/quorvel_files.py" write "$WORK/app" 1 "Bank account" "7f3a91c0d2e4b65a8c1d" \
  +username=alice@mail.example +url=https://bank.example/login "+otp=$RFC_SECRET" $'+notes=Card PIN at home\nBranch: Main St.'
start_app
MAIN=$(main_window) || fail "no main window"
add_record "Mail server"
click_records 219 34
xdotool key Up Return
sleep 0.3
click_main 54 82
shot "$MAIN" "$out/main-hidden.png"
# Upper, Lower, Digits, Symbols and No look-alikes, shown.
for x in 280 350 420 490; do click_main "$x" 34; done
click_main 280 58
click_main 54 82
click_main 116 34
shot "$MAIN" "$out/main-shown.png"
click_main 534 106
PROMPT=$(prompt_window) || fail "no prompt"
click "$PROMPT" 160 82
xdotool type "Shop login"
sleep 0.3
shot "$PROMPT" "$out/prompt.png"
click "$PROMPT" 158 106
click_main 116 34
click_main 54 82
click_records 596 58
CHANGE=$(window_of_size 360x372) || fail "no change window"
click "$CHANGE" 180 37
xdotool key End
xdotool type " (old)"
sleep 0.3
shot "$CHANGE" "$out/change.png"
click "$CHANGE" 235 354
# A passphrase of seven words, shown.
click_main 410 58
click_main 54 82
click_main 116 34
shot "$MAIN" "$out/main-words.png"
stop_app
