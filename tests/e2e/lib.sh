# Shared helpers for the end-to-end tests: each test copies the built program
# into a fresh folder (it keeps its files beside itself), runs it on the
# display in $DISPLAY and drives it like a person.
set -euo pipefail

BINARY=$(readlink -f "$1")
WM_CLOSE=$(readlink -f "${2:-}")
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
