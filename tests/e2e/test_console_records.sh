#!/usr/bin/env bash
# The records from a terminal: --list, --show and --totp on an open pair and
# on a sealed one, the passphrase read from standard input.
source "$(dirname "$0")/lib.sh"
run() { (cd "$WORK" && "$WORK/app/quorvel" "$@") >"$WORK/out.log" 2>"$WORK/err.log"; }
SECRET=$RFC_SECRET
fresh_folder
write_key "$WORK/app/quorvel.key"
/usr/bin/python3 "$E2E_DIR/quorvel_files.py" write "$WORK/app" 1 Mail pw-mail +username=alice \
  +url=https://mail.example "+otp=otpauth://totp/Mail:alice?secret=$SECRET&issuer=Mail" $'+notes=two\nlines' \
  Bank pw-bank "Bank card" pw-card

for sealed in no yes; do
  if [ $sealed = yes ]; then
    printf 'pass phrase\npass phrase\n' | run --passphrase || fail "--passphrase: $(cat "$WORK/err.log")"
  fi
  answer() { if [ $sealed = yes ]; then printf 'pass phrase\n'; fi; }
  answer | run --list || fail "--list ($sealed): $(cat "$WORK/err.log")"
  [ "$(cat "$WORK/out.log")" = $'Mail\nBank\nBank card' ] || fail "--list ($sealed): $(cat "$WORK/out.log")"
  for _ in 1 2 3; do
    want=$(rfc_code_now)
    answer | run --totp MAIL || fail "--totp ($sealed): $(cat "$WORK/err.log")"
    [ "$(cat "$WORK/out.log")" = "$want" ] && break
  done
  [ "$(cat "$WORK/out.log")" = "$want" ] || fail "--totp ($sealed): $(cat "$WORK/out.log"), not $want"
  answer | run --show ail || fail "--show ($sealed): $(cat "$WORK/err.log")"
  sed -i 's/^One-time code: [0-9]\{6\}$/One-time code: CODE/' "$WORK/out.log"
  [ "$(cat "$WORK/out.log")" = $'pw-mail\nUser name: alice\nWeb address: https://mail.example\nOne-time code: CODE\nNotes:\ntwo\nlines' ] ||
    fail "--show ($sealed): $(cat "$WORK/out.log")"
  answer | run --show "bank card" && [ "$(cat "$WORK/out.log")" = pw-card ] || fail "--show of a record without fields"
  # Several or no records: their descriptions on standard error, status 1.
  status=0
  answer | run --show bank || status=$?
  [ $status = 1 ] && grep -qx "Bank card" "$WORK/err.log" && grep -qx "Bank" "$WORK/err.log" && [ ! -s "$WORK/out.log" ] ||
    fail "--show of two records ($sealed): $status, $(cat "$WORK/err.log")"
  status=0
  answer | run --totp bank card || status=$?
  [ $status = 2 ] || fail "--totp with two arguments ended with $status"
  status=0
  answer | run --totp "Bank card" || status=$?
  [ $status = 1 ] && grep -q "has no one-time code" "$WORK/err.log" || fail "--totp without a secret ended with $status"
done
echo "console records: ok"
