# Shared helpers for the end-to-end tests: each test copies the built program
# into a fresh folder (it keeps its files beside itself), runs it on the
# display in $DISPLAY and drives it like a person.
set -euo pipefail

BINARY=$(readlink -f "$1")
WM_CLOSE=${2:+$(readlink -f "$2")}
WORK=$(mktemp -d /tmp/quorvel-e2e-XXXXXX)
APP_PID=""
TITLE="Quorvel v1.2b"

cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill -9 "$APP_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$WORK/out.log" ] && { echo "--- program output:" >&2; cat "$WORK/out.log" >&2; }
  exit 1
}

# Fresh folder holding a copy of the program; removes earlier data files.
fresh_folder() {
  rm -rf "$WORK/app" && mkdir -p "$WORK/app"
  cp "$BINARY" "$WORK/app/quorvel"
}

# start_app [working directory]
start_app() {
  local cwd=${1:-$WORK/app}
  (cd "$cwd" && exec "$WORK/app/quorvel") >"$WORK/out.log" 2>&1 &
  APP_PID=$!
}

# Seconds (tenths) until the program ends; prints its exit status.
wait_exit() {
  local tenths=${1:-100}
  for _ in $(seq 1 "$tenths"); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      local status=0
      wait "$APP_PID" || status=$?
      APP_PID=""
      echo "$status"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# The id of a visible window whose title matches, waiting up to 10 s.
find_window() {
  local name=$1
  for _ in $(seq 1 100); do
    local id
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    if [ -n "$APP_PID" ] && ! kill -0 "$APP_PID" 2>/dev/null; then return 1; fi
    sleep 0.1
  done
  return 1
}

stop_app() {
  if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null || true; wait "$APP_PID" 2>/dev/null || true; APP_PID=""; fi
}

file_mode() { stat -c %a "$1"; }

# The main window (640 x 347) and the prompt (320 x 240) share the title;
# they are told apart by their size.
window_of_size() {
  local want=$1
  for _ in $(seq 1 100); do
    for id in $(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null || true); do
      local size
      size=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
      if [ "$size" = "$want" ]; then echo "$id"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}
main_window() { window_of_size 640x347; }
prompt_window() { window_of_size 320x240; }

# click <window> <x> <y>: a left click at window-relative coordinates.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.3
}

# The main window's client area starts below its 25-pixel menu bar; the
# records panel starts 144 pixels further down.
click_main() { click "$MAIN" "$1" $(($2 + 25)); }
click_records() { click "$MAIN" "$1" $(($2 + 25 + 144)); }

clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }

# Decrypts line <n> of a record file with the openssl command line, using
# the key file beside it (RC4 keyed with the first 16 key characters).
decrypt_line() {
  local dir=$1 n=$2
  local key line
  key=$(sed -n 1p "$dir/quorvel.key" | tr -d '\r')
  line=$(sed -n "${n}p" "$dir/quorvel.dat" | tr -d '\r')
  printf '%s' "$line" | xxd -r -p | openssl enc -d -rc4 -provider legacy -provider default -nosalt \
    -K "$(printf '%s' "${key:0:16}" | xxd -p)"
}

# Encrypts a text the same way, as one upper-case hexadecimal record line.
encrypt_text() {
  local dir=$1 text=$2 key
  key=$(sed -n 1p "$dir/quorvel.key" | tr -d '\r')
  printf '%s' "$text" | openssl enc -rc4 -provider legacy -provider default -nosalt \
    -K "$(printf '%s' "${key:0:16}" | xxd -p)" | xxd -p -u | tr -d '\n'
}

record_lines() { if [ -f "$WORK/app/quorvel.dat" ]; then wc -l <"$WORK/app/quorvel.dat"; else echo 0; fi; }

shot() { import -window "$1" "$2"; }
