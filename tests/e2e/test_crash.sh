#!/usr/bin/env bash
# A kill -9 at any moment of a migration or a re-keying never loses records:
# the next start finds the old pair or the complete new one.
source "$(dirname "$0")/lib.sh"
records=1000
# An independent RC4 (openssl) gives the key stream; every field starts it
# afresh, so each record line is the field XOR its start.
rc4_records() {
  local stream
  # shellcheck disable=SC2046
  stream=$(head -c 64 /dev/zero | openssl enc -nosalt $(cipher_args "$WORK/app") | xxd -p -c 64)
  python3 - "$stream" "$records" <<'PY'
import sys
stream, count = bytes.fromhex(sys.argv[1]), int(sys.argv[2])
for i in range(1, count + 1):
    for field in (f"record {i}", f"secret-{i}"):
        sys.stdout.write(bytes(a ^ b for a, b in zip(field.encode(), stream)).hex().upper() + "\r\n")
PY
}

# The plain legacy records: description "record N", password "secret-N".
plain_records() {
  for i in $(seq 1 "$records"); do printf 'record %d\r\nsecret-%d\r\n' "$i" "$i"; done
}

# The folder holds a whole pair, with every record readable: the line count,
# and the first, a middle and the last record decrypted independently.
expect_whole_pair() {
  local what=$1 middle=$((records / 2))
  [ -f "$WORK/app/quorvel.key" ] || fail "$what: no key file"
  # One run of the independent reader for every field of an authenticated
  # pair (whose file starts with a header line); the openssl command line for
  # an old one.
  local fields="" lines=$((2 * records))
  if [ "$(sed -n 3p "$WORK/app/quorvel.key")" = $'aes_256_gcm\r' ]; then
    lines=$((lines + 1))
    fields=$(dump) || fail "$what: not every field reads"
  fi
  [ "$(record_lines)" = "$lines" ] || fail "$what: $(record_lines) record lines"
  field() { if [ -n "$fields" ]; then sed -n "$1p" <<<"$fields"; else decrypt_line "$WORK/app" "$1"; fi; }
  for i in 1 "$middle" "$records"; do
    [ "$(field $((2 * i - 1)))" = "record $i" ] || fail "$what: description $i"
    [ "$(field $((2 * i)))" = "secret-$i" ] || fail "$what: password $i"
  done
  [ "$(ls "$WORK/app" | wc -l)" = 3 ] || fail "$what: files left: $(ls "$WORK/app")"
}

# Starts the program and lets it settle (which finishes or undoes an
# interrupted commit, and migrates a plain file), then stops it.
settle_start() {
  start_app
  main_window >/dev/null || fail "no main window after a crash"
  stop_app
}

# Sets MS to the milliseconds from the start of a command until the folder
# holds a whole pair and no pending files: the kills below spread over that
# time, whatever the machine's speed. The command stays running.
MS=0
time_until_pair() {
  local started
  started=$(date +%s%N)
  (cd "$WORK/app" && exec "$@") >/dev/null 2>&1 &
  APP_PID=$!
  sleep 0.005
  while [ ! -e "$WORK/app/quorvel.key" ] || [ -e "$WORK/app/quorvel.key.pending" ] ||
    [ -e "$WORK/app/quorvel.dat.pending" ] || ! cmp -s <(sed -n 3p "$WORK/app/quorvel.key") <(printf 'aes_256_gcm\r\n'); do
    sleep 0.005
  done
  MS=$((($(date +%s%N) - started) / 1000000))
}

# Delays in seconds from 0 to 1.5 times <ms>, in 12 steps.
delays_over() { for k in $(seq 0 11); do awk -v ms="$1" -v k="$k" 'BEGIN { printf "%.3f\n", ms * 1.5 * k / 11000 }'; done; }

fresh_folder
plain_records >"$WORK/plain"
cp "$WORK/plain" "$WORK/app/quorvel.dat"
time_until_pair "$WORK/app/quorvel"
stop_app
for delay in $(delays_over "$MS"); do
  rm -f "$WORK/app/quorvel."*
  cp "$WORK/plain" "$WORK/app/quorvel.dat"
  start_app
  sleep "$delay"
  kill -9 "$APP_PID" 2>/dev/null || true
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
  # Either untouched and without a key, or the complete new pair.
  if [ ! -e "$WORK/app/quorvel.key" ]; then
    cmp -s "$WORK/plain" "$WORK/app/quorvel.dat" || fail "migration killed after ${delay}s: plain file changed"
  fi
  settle_start
  expect_whole_pair "migration killed after ${delay}s"
done

# Re-keying an "rc4" pair gives an "aes_256_gcm" pair that decrypts
# independently to the same records.
rm -f "$WORK/app/quorvel."*
write_rc4_key "$WORK/app"
rc4_records >"$WORK/app/quorvel.dat"
[ "$(decrypt_line "$WORK/app" 3)" = "record 2" ] || fail "the RC4 records were not made right"
cp "$WORK/app/quorvel.key" "$WORK/rc4.key"
cp "$WORK/app/quorvel.dat" "$WORK/rc4.dat"
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || fail "re-keying failed: $(cat "$WORK/rekey.log")"
grep -q "re-keyed $records records" "$WORK/rekey.log" || fail "re-keying did not say what it did: $(cat "$WORK/rekey.log")"
[ "$(sed -n 3p "$WORK/app/quorvel.key")" = $'aes_256_gcm\r' ] || fail "re-keying did not make an authenticated key"
expect_whole_pair "re-keyed"

# A re-keying first completes a commit that a crash cut short after the new
# key was in place, with the new records still under their pending name.
cp "$WORK/app/quorvel.dat" "$WORK/aes.dat"
cp "$WORK/rc4.dat" "$WORK/app/quorvel.dat"
mv "$WORK/aes.dat" "$WORK/app/quorvel.dat.pending"
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || fail "re-keying a cut-short commit: $(cat "$WORK/rekey.log")"
expect_whole_pair "re-keyed after a cut-short commit"

# A new pair that cannot be written is reported, and the old pair stays.
mkdir "$WORK/app/quorvel.key.pending"
cp "$WORK/app/quorvel.key" "$WORK/key.before"
cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
status=0
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q "could not be written" "$WORK/rekey.log" || fail "an unwritable re-keying: $status"
cmp -s "$WORK/key.before" "$WORK/app/quorvel.key" && cmp -s "$WORK/dat.before" "$WORK/app/quorvel.dat" ||
  fail "an unwritable re-keying changed the files"
rmdir "$WORK/app/quorvel.key.pending"

# A crash during the re-keying leaves one complete pair, old or new.
cp "$WORK/rc4.key" "$WORK/app/quorvel.key"
cp "$WORK/rc4.dat" "$WORK/app/quorvel.dat"
time_until_pair "$WORK/app/quorvel" --rekey
stop_app
for delay in $(delays_over "$MS"); do
  cp "$WORK/rc4.key" "$WORK/app/quorvel.key"
  cp "$WORK/rc4.dat" "$WORK/app/quorvel.dat"
  "$WORK/app/quorvel" --rekey >/dev/null 2>&1 &
  APP_PID=$!
  sleep "$delay"
  kill -9 "$APP_PID" 2>/dev/null || true
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
  settle_start
  expect_whole_pair "re-keying killed after ${delay}s"
done

# Refusals change nothing: a field that does not decrypt, another copy
# running, nothing to re-key.
cp "$WORK/rc4.key" "$WORK/app/quorvel.key"
{ cat "$WORK/rc4.dat"; printf '00\r\n00\r\n'; } >"$WORK/app/quorvel.dat"
sed -i '3s/.*/rc2_cbc\r/' "$WORK/app/quorvel.key"
cp "$WORK/app/quorvel.key" "$WORK/key.before"
cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
status=0
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "re-keying fields that do not decrypt: status $status"
cmp -s "$WORK/key.before" "$WORK/app/quorvel.key" && cmp -s "$WORK/dat.before" "$WORK/app/quorvel.dat" ||
  fail "a refused re-keying changed the files"
cp "$WORK/rc4.key" "$WORK/app/quorvel.key"
cp "$WORK/rc4.dat" "$WORK/app/quorvel.dat"
start_app
main_window >/dev/null || fail "no main window"
status=0
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q "already running" "$WORK/rekey.log" || fail "re-keying beside a running copy: $status"
stop_app
cmp -s "$WORK/rc4.key" "$WORK/app/quorvel.key" || fail "re-keying beside a running copy changed the key"
rm "$WORK/app/quorvel.dat"
status=0
"$WORK/app/quorvel" --rekey >"$WORK/rekey.log" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q "nothing to re-key" "$WORK/rekey.log" || fail "re-keying without records: $status"
echo "crash: ok"
