# Shared helpers for the end-to-end tests: each test copies the built program
# into a fresh folder (it keeps its files beside itself), runs it on the
# display in $DISPLAY and drives it like a person.
set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BINARY=$(readlink -f "$1")
WM_CLOSE=${2:+$(readlink -f "$2")}
STRAY_REQUEST=${3:+$(readlink -f "$3")}
BUILD_DIR=${4:+$(readlink -f "$4")}
WORK=$(mktemp -d /tmp/quorvel-e2e-XXXXXX)
APP_PID=""
TITLE="Quorvel v1.2b"

cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill -9 "$APP_PID" 2>/dev/null || true; fi
  if [ -n "$SELECTION_PID" ]; then kill "$SELECTION_PID" 2>/dev/null || true; fi
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

# Waits up to <tenths> tenths of a second for the program to end and sets
# EXIT_STATUS to its exit status (not in a subshell: only this shell can
# collect its child's status).
EXIT_STATUS=""
wait_exit() {
  local tenths=${1:-100}
  for _ in $(seq 1 "$tenths"); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      EXIT_STATUS=0
      wait "$APP_PID" || EXIT_STATUS=$?
      APP_PID=""
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

# An ordinary user to start an installed program as: the first one with a
# user id from 1000, or one made for the tests. Sets TEST_USER.
choose_test_user() {
  TEST_USER=$(getent passwd | awk -F: '$3 >= 1000 && $3 < 60000 { print $1; exit }')
  if [ -z "$TEST_USER" ]; then
    useradd -M -s /usr/sbin/nologin quorvel-e2e
    TEST_USER=quorvel-e2e
  fi
}

# as_test_user <home> <command...>: runs it as TEST_USER with that home and no
# XDG_DATA_HOME.
as_test_user() {
  local home=$1
  shift
  setpriv --reuid="$TEST_USER" --regid="$(id -g "$TEST_USER")" --clear-groups env -u XDG_DATA_HOME HOME="$home" "$@"
}

# start_as_test_user <home> <program>
start_as_test_user() {
  (cd / && exec setpriv --reuid="$TEST_USER" --regid="$(id -g "$TEST_USER")" --clear-groups \
    env -u XDG_DATA_HOME HOME="$1" "$2") >"$WORK/out.log" 2>&1 &
  APP_PID=$!
}

stop_app() {
  if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null || true; wait "$APP_PID" 2>/dev/null || true; APP_PID=""; fi
}

file_mode() { stat -c %a "$1"; }

# The main window (640 x 347) and the prompt (320 x 240) share the title;
# they are told apart by their size.
# The id of a visible window of the program with that size, looking once.
visible_window_of_size() {
  for id in $(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null || true); do
    if [ "$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')" = "$1" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# The same, waiting up to 10 s for it to appear.
window_of_size() {
  for _ in $(seq 1 100); do
    visible_window_of_size "$1" && return 0
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
# The generator's Generate and Copy buttons.
click_generate() { click_main 54 82; }
click_copy_generated() { click_main 459 106; }

clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }
# offer_selection <selection> <text>: another program (xclip, kept in the
# foreground so that SELECTION_PID is its own id) owns the selection with a
# text, once it can be read back; end_selection ends it.
SELECTION_PID=""
offer_selection() {
  printf '%s' "$2" | xclip -quiet -selection "$1" >/dev/null 2>&1 &
  SELECTION_PID=$!
  for _ in $(seq 1 50); do
    [ "$(xclip -o -selection "$1" 2>/dev/null)" = "$2" ] && return 0
    sleep 0.1
  done
  fail "xclip did not take the $1 selection"
}
end_selection() { kill "$SELECTION_PID" 2>/dev/null || true; SELECTION_PID=""; }

# The openssl arguments for the key file in <dir>: AES-256-CBC with the
# 32-character key and 16-character IV as they stand, or RC4 keyed with the
# first 16 key characters.
cipher_args() {
  local dir=$1 key iv cipher
  key=$(sed -n 1p "$dir/quorvel.key" | tr -d '\r')
  iv=$(sed -n 2p "$dir/quorvel.key" | tr -d '\r')
  cipher=$(sed -n 3p "$dir/quorvel.key" | tr -d '\r')
  if [ "$cipher" = aes_256_cbc ]; then
    echo "-aes-256-cbc -K $(printf '%s' "$key" | xxd -p -c 64) -iv $(printf '%s' "$iv" | xxd -p -c 64)"
  else
    echo "-rc4 -provider legacy -provider default -K $(printf '%s' "${key:0:16}" | xxd -p)"
  fi
}

# Decrypts line <n> of a record file with the key file beside it: with the
# openssl command line for the older kinds, with quorvel_files.py (Python's
# cryptography and argon2 packages) for "aes_256_gcm".
decrypt_line() {
  local dir=$1 n=$2 line
  if [ "$(sed -n 3p "$dir/quorvel.key" | tr -d '\r')" = aes_256_gcm ]; then
    /usr/bin/python3 "$E2E_DIR/quorvel_files.py" decrypt "$dir" "$n"
    return
  fi
  line=$(sed -n "${n}p" "$dir/quorvel.dat" | tr -d '\r')
  # shellcheck disable=SC2046
  printf '%s' "$line" | xxd -r -p | openssl enc -d -nosalt $(cipher_args "$dir")
}

# Encrypts a text the same way, as one upper-case hexadecimal record line
# (for "aes_256_gcm", as field <n> of a file in the earlier headerless layout
# that Quorvel 1.2 wrote; the first by default).
encrypt_text() {
  local dir=$1 text=$2
  if [ "$(sed -n 3p "$dir/quorvel.key" | tr -d '\r')" = aes_256_gcm ]; then
    /usr/bin/python3 "$E2E_DIR/quorvel_files.py" encrypt "$dir" "${3:-1}" "$text"
    return
  fi
  # shellcheck disable=SC2046
  printf '%s' "$text" | openssl enc -nosalt $(cipher_args "$dir") | xxd -p -u | tr -d '\n'
}

# Writes an "rc4" key file as earlier versions created them: a 256-character
# key, an 8-character IV.
write_rc4_key() {
  local key
  key=$(head -c 1000 /dev/urandom | tr -dc '0-9A-Ga-f' | head -c 256)
  printf '%s\r\n%s\r\nrc4\r\n' "$key" "${key:0:8}" >"$1/quorvel.key"
}

# record_lines [folder]: the record file's lines; for "aes_256_gcm" only the
# header, descriptions and passwords count, not the lines of other fields
# (the times every record made in the window holds).
record_lines() {
  local dir=${1:-$WORK/app}
  if [ ! -f "$dir/quorvel.dat" ]; then
    echo 0
  elif [ "$(sed -n 3p "$dir/quorvel.key" | tr -d '\r')" = aes_256_gcm ]; then
    /usr/bin/python3 "$E2E_DIR/quorvel_files.py" lines "$dir"
  else
    wc -l <"$dir/quorvel.dat"
  fi
}

shot() { import -window "$1" "$2"; }

# A stand-in for the desktop's URL launcher that records what it was given.
fake_launcher() {
  mkdir -p "$WORK/bin"
  cat >"$WORK/bin/gnome-open" <<'SCRIPT'
#!/bin/sh
printf '%s\n' "$*" >>"$URL_LOG"
SCRIPT
  chmod +x "$WORK/bin/gnome-open"
  export URL_LOG="$WORK/urls.log" GNOME_DESKTOP_SESSION_ID=e2e PATH="$WORK/bin:$PATH"
  unset KDE_FULL_DESKTOP
  : >"$URL_LOG"
}

# Colour of one pixel of a window, as ImageMagick writes it (e.g. "#FFFFFF").
pixel() {
  import -window "$1" -crop "1x1+$2+$3" +repage txt:- 2>/dev/null | sed -n '2s/.*\(#[0-9A-Fa-f]\{6\}\).*/\1/p'
}

# same_as_reference <window> <crop> <name>: whether a region of a window (of
# the screen, for "root") is, pixel for pixel, the rendering kept in
# reference/<name>.png.
same_as_reference() {
  import -window "$1" -crop "$2" +repage "$WORK/$3.png" 2>/dev/null
  [ "$(compare -metric AE "$WORK/$3.png" "$(dirname "${BASH_SOURCE[0]}")/reference/$3.png" null: 2>&1)" = 0 ]
}

# Adds a record: Generate, "Add to records", the description, "OK".
add_record() {
  click_generate
  click_main 534 106
  local prompt
  prompt=$(prompt_window) || fail "no prompt window"
  click "$prompt" 160 82
  xdotool type --delay 20 "$1"
  click "$prompt" 158 106
  for _ in $(seq 1 50); do
    prompt_window_gone && return 0
    sleep 0.1
  done
  fail "prompt did not close"
}
prompt_window_gone() { ! visible_window_of_size 320x240 >/dev/null; }

# Presses Return over every visible window, to answer whatever message the
# program shows (focus follows the pointer).
press_return_everywhere() {
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null || true); do
    xdotool mousemove --window "$id" 10 10 key Return 2>/dev/null || true
  done
}

# Answers the dialog under the pointer (dialogs open where the pointer is).
answer_dialog() {
  sleep 0.7
  xdotool key "$1"
  sleep 0.5
}

# What another client's XGrabKeyboard gets now: 0 when it could grab the
# keyboard (and let go again at once), 1 when someone else holds it.
other_keyboard_grab() {
  /usr/bin/python3 - <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
x.XUngrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit(2)
result = x.XGrabKeyboard(display, x.XDefaultRootWindow(display), 0, 1, 1, 0)
if result == 0:
    x.XUngrabKeyboard(display, 0)
x.XCloseDisplay(display)
print(result)
PY
}

# Whether the program's writable memory holds a text (as bytes or UTF-16).
in_memory() {
  /usr/bin/python3 - "$APP_PID" "$1" <<'PY'
import sys
pid, secret = sys.argv[1], sys.argv[2].encode()
with open(f"/proc/{pid}/maps") as maps, open(f"/proc/{pid}/mem", "rb") as mem:
    for line in maps:
        start, end = (int(x, 16) for x in line.split()[0].split("-"))
        if "rw" not in line.split()[1] or end - start > 1 << 30:
            continue
        try:
            mem.seek(start)
            data = mem.read(end - start)
        except OSError:
            continue
        if secret in data or secret.decode().encode("utf-16-le") in data:
            sys.exit(0)
sys.exit(1)
PY
}

# Every field of the pair in the program's folder, one per line, read
# independently (a sealed key file with $QUORVEL_PASSPHRASE).
dump() { /usr/bin/python3 "$E2E_DIR/quorvel_files.py" dump "$WORK/app"; }
# "<file id> <generation> <records>" of the record file in a folder (the
# program's by default) once its header verifies; status 1 when it does not.
# write_key <file>: a fresh, valid "aes_256_gcm" key file of our own.
write_key() {
  printf '%s\r\n\r\naes_256_gcm\r\n' "$(head -c 32 /dev/urandom | xxd -p -u -c 32)" >"$1"
  chmod 600 "$1"
}
# RFC 6238's SHA-1 secret in base32, and the 6-digit code python computes
# from it for now.
RFC_SECRET=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ
rfc_code_now() {
  /usr/bin/python3 -c 'import hmac,hashlib,struct,time
m=hmac.new(b"12345678901234567890",struct.pack(">Q",int(time.time())//30),hashlib.sha1).digest();o=m[-1]&15
print(str((struct.unpack(">I",m[o:o+4])[0]&0x7fffffff)%10**6).zfill(6))'
}
file_header() { /usr/bin/python3 "$E2E_DIR/quorvel_files.py" header "${1:-$WORK/app}"; }
