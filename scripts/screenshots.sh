#!/usr/bin/env bash
# Takes the README's screenshots on the display in $DISPLAY:
# scripts/screenshots.sh <path to quorvel> <output folder>
set -euo pipefail
out=$(readlink -f "$2")
source "$(dirname "$0")/../tests/e2e/lib.sh" "$1"
fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "Bank account"
add_record "Mail server"
click_main 54 82
shot "$MAIN" "$out/main-hidden.png"
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
CHANGE=$(window_of_size 360x186) || fail "no change window"
click "$CHANGE" 180 37
xdotool key End
xdotool type " (old)"
sleep 0.3
shot "$CHANGE" "$out/change.png"
stop_app
