#!/usr/bin/env bash
# An installed Quorvel: what "cmake --install" puts where, the validators, the
# command line, and where each kind of copy keeps its files.
source "$(dirname "$0")/lib.sh"
[ -n "$BUILD_DIR" ] || fail "usage: test_install.sh <quorvel> <wm_close> <stray_request> <build dir>"
if [ "$(id -u)" != 0 ]; then
  echo "install: skipped (installing under /opt and starting as another user need root)"
  exit 77
fi

# The rule looks at where the executable stands, so the scratch root is under
# /opt; the ordinary user gets a scratch home.
ROOT=$(mktemp -d /opt/quorvel-e2e-XXXXXX)
USER_HOME=$(mktemp -d /tmp/quorvel-e2e-home-XXXXXX)
trap 'cleanup; rm -rf "$ROOT" "$USER_HOME"' EXIT
chmod 755 "$ROOT"
choose_test_user
chown "$TEST_USER:" "$USER_HOME"
# A sanitizer build reads its suppressions file as that user: give it a copy.
options=()
IFS=: read -ra options <<<"${LSAN_OPTIONS:-}"
for i in "${!options[@]}"; do
  if [[ "${options[$i]}" == suppressions=* ]]; then
    install -m 644 "${options[$i]#suppressions=}" "$USER_HOME/lsan.supp"
    options[i]=suppressions=$USER_HOME/lsan.supp
  fi
done
LSAN_OPTIONS=$(IFS=:; echo "${options[*]}")
export LSAN_OPTIONS

cmake --install "$BUILD_DIR" --prefix "$ROOT" >"$WORK/install.log" 2>&1 || fail "cmake --install: $(cat "$WORK/install.log")"
share=$ROOT/share
for file in bin/quorvel share/applications/quorvel.desktop share/icons/hicolor/scalable/apps/quorvel.svg \
  share/icons/hicolor/48x48/apps/quorvel.png share/man/man1/quorvel.1 share/metainfo/org.quorvel.quorvel.metainfo.xml \
  share/quorvel/wordlist_en_eff.txt; do
  [ -f "$ROOT/$file" ] || fail "not installed: $file"
done
[ "$(identify -format %wx%h "$share/icons/hicolor/48x48/apps/quorvel.png")" = 48x48 ] || fail "the PNG icon is not 48x48"
grep -qx 'Exec=quorvel' "$share/applications/quorvel.desktop" && grep -qx 'Icon=quorvel' "$share/applications/quorvel.desktop" &&
  grep -q '^Categories=.*Utility;' "$share/applications/quorvel.desktop" || fail "the menu entry's command, icon or category"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/quorvel.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/org.quorvel.quorvel.metainfo.xml" >"$WORK/as.log" 2>&1 ||
    fail "appstreamcli: $(cat "$WORK/as.log")"
fi
if command -v mandoc >/dev/null; then mandoc -T lint "$share/man/man1/quorvel.1" || fail "mandoc -T lint"; fi

DATA=$USER_HOME/.local/share/quorvel
owner_mode() { stat -c '%U %a' "$1"; }

# The command line answers without a window and without touching the files.
help=$(as_test_user "$USER_HOME" "$ROOT/bin/quorvel" --help) || fail "--help ended with $?"
grep -q -- '--rekey' <<<"$help" && grep -q -- '--version' <<<"$help" || fail "--help lacks the options: $help"
grep -qx "Files: quorvel.key and quorvel.dat in $DATA" <<<"$help" || fail "--help names another folder: $help"
version=$(grep '^CMAKE_PROJECT_VERSION:' "$BUILD_DIR/CMakeCache.txt" | cut -d= -f2)
[ "$(as_test_user "$USER_HOME" "$ROOT/bin/quorvel" --version)" = "Quorvel 1.2b (build $version)" ] || fail "--version"
for args in "--bogus" "-x" "--rekey extra" "--help me"; do
  status=0
  # shellcheck disable=SC2086
  as_test_user "$USER_HOME" timeout 10 "$ROOT/bin/quorvel" $args >"$WORK/stdout" 2>"$WORK/stderr" || status=$?
  [ "$status" = 2 ] && [ ! -s "$WORK/stdout" ] && grep -q '^Usage: quorvel' "$WORK/stderr" || fail "'$args': $status"
done
# The installed program finds its word list under share/quorvel.
as_test_user "$USER_HOME" "$ROOT/bin/quorvel" --generate --words 4 >"$WORK/stdout" 2>"$WORK/stderr" &&
  [ "$(wc -w <"$WORK/stdout")" = 4 ] || fail "--generate --words 4 installed: $(cat "$WORK/stderr")"
[ ! -e "$USER_HOME/.local" ] || fail "the command line created the data folder"

# The ordinary user's first start makes the data folder owner-only and the
# files in it; nothing goes beside the executable. A second start finds them.
start_as_test_user "$USER_HOME" "$ROOT/bin/quorvel"
MAIN=$(main_window) || fail "no main window for the installed program"
add_record "installed"
stop_app
[ "$(owner_mode "$DATA")" = "$TEST_USER 700" ] || fail "data folder: $(owner_mode "$DATA")"
[ "$(owner_mode "$DATA/quorvel.key")" = "$TEST_USER 600" ] && [ "$(owner_mode "$DATA/quorvel.dat")" = "$TEST_USER 600" ] ||
  fail "files: $(ls -l "$DATA")"
[ "$(ls "$ROOT/bin")" = quorvel ] || fail "files beside the installed program: $(ls "$ROOT/bin")"
cp "$DATA/quorvel.key" "$WORK/key.before"
start_as_test_user "$USER_HOME" "$ROOT/bin/quorvel"
MAIN=$(main_window) || fail "no main window at the second start"
add_record "second start"
stop_app
cmp -s "$WORK/key.before" "$DATA/quorvel.key" || fail "the second start made a new key"
[ "$(record_lines "$DATA")" = 5 ] && [ "$(decrypt_line "$DATA" 1)" = installed ] || fail "records lost"
# Re-keying from a terminal finds the same folder.
as_test_user "$USER_HOME" "$ROOT/bin/quorvel" --rekey </dev/null >"$WORK/rekey.log" 2>&1 || fail "--rekey: $(cat "$WORK/rekey.log")"
! cmp -s "$WORK/key.before" "$DATA/quorvel.key" && [ "$(decrypt_line "$DATA" 3)" = "second start" ] || fail "re-keyed records"

# A data folder that cannot be made: said so, status 1.
start_as_test_user "$ROOT" "$ROOT/bin/quorvel"
for _ in $(seq 1 50); do
  kill -0 "$APP_PID" 2>/dev/null || break
  press_return_everywhere
  sleep 0.2
done
wait_exit 10 || fail "the program went on without a data folder"
[ "$EXIT_STATUS" = 1 ] && grep -q "the folder $ROOT/.local/share/quorvel could not be created" "$WORK/out.log" ||
  fail "a data folder that cannot be made: status $EXIT_STATUS"

# An installed program with files beside it keeps using them.
cp "$DATA/quorvel.key" "$DATA/quorvel.dat" "$ROOT/bin/"
grep -qx "Files: quorvel.key and quorvel.dat in $ROOT/bin" <<<"$(HOME="$WORK/home" "$ROOT/bin/quorvel" --help)" ||
  fail "--help beside an installed program"
(cd / && HOME="$WORK/home" exec "$ROOT/bin/quorvel") >"$WORK/out.log" 2>&1 &
APP_PID=$!
MAIN=$(main_window) || fail "no main window beside the files"
add_record "beside"
stop_app
[ "$(record_lines "$ROOT/bin")" = 7 ] && [ "$(decrypt_line "$ROOT/bin" 5)" = beside ] || fail "not saved beside"
[ ! -e "$WORK/home/.local" ] || fail "a data folder was made beside files"

# A copy in a writable folder keeps its files beside itself.
fresh_folder
grep -qx "Files: quorvel.key and quorvel.dat in $WORK/app" <<<"$(HOME="$WORK/home" "$WORK/app/quorvel" --help)" ||
  fail "--help of a portable copy"
(cd / && HOME="$WORK/home" exec "$WORK/app/quorvel") >"$WORK/out.log" 2>&1 &
APP_PID=$!
main_window >/dev/null || fail "no main window for the portable copy"
stop_app
[ -f "$WORK/app/quorvel.key" ] && [ ! -e "$WORK/home/.local" ] || fail "the portable copy's key is not beside it"
echo "install: ok"
