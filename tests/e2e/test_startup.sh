#!/usr/bin/env bash
# Start-up: the key-file guard, key-file creation and the working directory.
source "$(dirname "$0")/lib.sh"

# Runs the program until it has settled: either it ended by itself (a
# message it shows on the way is answered with Return), or its main window is
# up (then it is stopped). Prints "exit <status>" or "running".
settle() {
  start_app "${1:-$WORK/app}"
  for i in $(seq 1 100); do
    if [ "$i" -gt 10 ]; then press_return_everywhere; fi
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      wait_exit 1
      echo "exit $EXIT_STATUS"
      return
    fi
    if xdotool search --onlyvisible --name "^$TITLE\$" >/dev/null 2>&1; then
      stop_app
      echo running
      return
    fi
    sleep 0.1
  done
  fail "program neither ended nor showed its window"
}

# The guard's message ends the program with status 0, whether the message
# went to a dialog (answered with Return) or to the console.
expect_guard_message() {
  start_app
  for _ in $(seq 1 100); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then break; fi
    press_return_everywhere
    sleep 0.2
  done
  wait_exit 50 || fail "guard did not end the program"
  [ "$EXIT_STATUS" = 0 ] || fail "guard exit status $EXIT_STATUS"
}

# An empty folder: an owner-only "aes_256_gcm" key file (64 hexadecimal
# digits, an empty line, the name) and nothing else.
fresh_folder
result=$(settle)
[ -f "$WORK/app/quorvel.key" ] || fail "no key file created ($result)"
mapfile -t key_lines < <(tr -d '\r' <"$WORK/app/quorvel.key")
[[ ${#key_lines[@]} = 3 && ${key_lines[0]} =~ ^[0-9A-F]{64}$ && -z ${key_lines[1]} && ${key_lines[2]} = aes_256_gcm &&
  $(stat -c %s "$WORK/app/quorvel.key") = 81 ]] || fail "key file layout: $(cat -A "$WORK/app/quorvel.key")"
[ "$(file_mode "$WORK/app/quorvel.key")" = 600 ] || fail "key file mode $(file_mode "$WORK/app/quorvel.key")"
[ ! -e "$WORK/app/quorvel.dat" ] || fail "record file created without a record"
[ "$(ls "$WORK/app" | wc -l)" = 2 ] || fail "unexpected files: $(ls "$WORK/app")"

# The cipher library's legacy provider is loaded only for a key file whose
# cipher needs it.
legacy_loaded() {
  start_app
  main_window >/dev/null || fail "no main window"
  local loaded=no
  grep -q 'legacy\.so' "/proc/$APP_PID/maps" && loaded=yes
  stop_app
  echo "$loaded"
}
[ "$(legacy_loaded)" = no ] || fail "legacy provider loaded for an AES key file"
cp "$WORK/app/quorvel.key" "$WORK/aes.key"
write_rc4_key "$WORK/app"
[ "$(legacy_loaded)" = yes ] || fail "legacy provider not loaded for an rc4 key file"
cp "$WORK/aes.key" "$WORK/app/quorvel.key"

# A key file present and no record file: nothing is created or changed.
cp "$WORK/app/quorvel.key" "$WORK/key.before"
settle >/dev/null
cmp -s "$WORK/key.before" "$WORK/app/quorvel.key" || fail "existing key file changed"
[ ! -e "$WORK/app/quorvel.dat" ] || fail "record file created"

# An empty record file, or one that looks encrypted, without a key file: the
# guard's message, exit 0, nothing created or changed.
for content in "" $'0123456789ABCDEF\r\n00FF\r\n'; do
  fresh_folder
  printf '%s' "$content" >"$WORK/app/quorvel.dat"
  cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
  expect_guard_message
  [ ! -e "$WORK/app/quorvel.key" ] || fail "key file created despite the guard"
  cmp -s "$WORK/dat.before" "$WORK/app/quorvel.dat" || fail "record file changed by the guard"
done

# A legacy plain record file without a key file: a key is created.
fresh_folder
printf 'my bank\r\nsecret pass\r\n' >"$WORK/app/quorvel.dat"
settle >/dev/null
[ -f "$WORK/app/quorvel.key" ] || fail "no key created for a legacy record file"

# A record file that cannot be read: reported, non-zero, nothing created.
fresh_folder
mkdir "$WORK/app/quorvel.dat"
result=$(settle)
[ "$result" != "exit 0" ] && [ "$result" != running ] || fail "unreadable record file was not reported ($result)"
[ ! -e "$WORK/app/quorvel.key" ] || fail "key created beside an unreadable record file"

# Started from another directory: the files beside the executable are used.
fresh_folder
mkdir -p "$WORK/elsewhere"
settle "$WORK/elsewhere" >/dev/null
[ -f "$WORK/app/quorvel.key" ] || fail "key not created beside the executable"
[ -z "$(ls "$WORK/elsewhere")" ] || fail "files created in the starting directory"
# The main window's generator widgets and its open File menu look as they
# always have, pixel for pixel (the pointer kept off the window).
fresh_folder
cp "$(dirname "$BINARY")/wordlist_en_eff.txt" "$WORK/app/"
start_app
MAIN=$(main_window) || fail "no main window for the layout"
xdotool mousemove 1279 1023
sleep 0.5
same_as_reference "$MAIN" 640x145+0+0 main-generator || fail "the generator's widgets moved or changed"
click "$MAIN" 15 12
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
for _ in $(seq 1 30); do
  same_as_reference root "200x145+$X+$Y" main-file-menu && break
  sleep 0.1
done
same_as_reference root "200x145+$X+$Y" main-file-menu || fail "the open File menu changed"
xdotool key Escape
stop_app

echo "startup: ok"
