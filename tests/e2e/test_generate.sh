#!/usr/bin/env bash
# Passwords from a terminal: --generate with classes and with words, the
# strength on standard error, bad values refused with the usage, a missing or
# damaged word list refused. Needs no display, writes no file.
source "$(dirname "$0")/lib.sh"
LIST=$(dirname "$BINARY")/wordlist_en_eff.txt
run() { (cd "$WORK" && env -u DISPLAY HOME="$WORK/home" "$WORK/app/quorvel" --generate "$@") >"$WORK/out" 2>"$WORK/err"; }
fresh_folder
cp "$LIST" "$WORK/app/" || fail "the build put no word list beside the program"
mkdir "$WORK/home"
cut -f2 "$LIST" >"$WORK/words"

# options | every character matches | each class must appear | length or words | strength, where
# 20 x log2(62) = 119.08 less a hair for passwords lacking a class; 30 x log2(8 + 31) = 158.56;
# three of 24 + 25 + 8, each class once in 3! orders: log2(6 x 24 x 25 x 8) = 14.81; 12.92 bits a word.
while IFS='|' read -r options allowed classes count strength; do
  read -ra args <<<"$options"
  run "${args[@]}" || fail "--generate $options: $(cat "$WORK/err")"
  [ "$(cat "$WORK/err")" = "Strength: $strength bits" ] || fail "--generate $options: $(cat "$WORK/err")"
  if [ -z "$allowed" ]; then
    separator=$(sed -n 's/.*--separator \(.\).*/\1/p' <<<"$options")
    tr "${separator:- }" '\n' <"$WORK/out" >"$WORK/chosen"
    [ "$(wc -l <"$WORK/chosen")" = "$count" ] && [ -z "$(grep -vxFf "$WORK/words" "$WORK/chosen")" ] ||
      fail "--generate $options: $(cat "$WORK/out")"
    continue
  fi
  password=$(cat "$WORK/out")
  [ ${#password} = "$count" ] && LC_ALL=C grep -qx "[$allowed]*" <<<"$password" || fail "--generate $options: $password"
  read -ra needed <<<"$classes"
  for class in "${needed[@]}"; do LC_ALL=C grep -q "$class" <<<"$password" || fail "no $class in $password"; done
done <<'CASES'
|A-Za-z0-9|[A-Z] [a-z] [0-9]|20|119
--length 30 --symbols --digits --no-look-alikes|2-9!-/:-@[-`{}~|[2-9] [^A-Za-z0-9]|30|158
--no-look-alikes --length 3|A-HJ-NP-Za-km-z2-9|[A-Z] [a-z] [2-9]|3|14
--words 7|||7|90
--words 99 --separator 9|||99|1279
CASES

# Bad options and values: the usage, status 2, no password.
for bad in "--length 0" "--length 1000" "--length 20x" "--length" "--words 0" "--words 100" "--words 3 --separator ab" \
  "--words 3 --separator é" "--words 3 --length 10" "--separator -" "--upper --upper" "--bogus"; do
  status=0
  read -ra args <<<"$bad"
  run "${args[@]}" || status=$?
  [ $status = 2 ] && grep -q '^Usage: quorvel' "$WORK/err" && [ ! -s "$WORK/out" ] || fail "--generate $bad: $status"
done
[ "$(ls "$WORK/app")" = $'quorvel\nwordlist_en_eff.txt' ] && [ -z "$(ls -A "$WORK/home")" ] || fail "files were written"

# A password that cannot be written is a failure.
status=0
(cd "$WORK" && "$WORK/app/quorvel" --generate >/dev/full 2>"$WORK/err") || status=$?
[ $status = 1 ] && grep -q "could not be written" "$WORK/err" || fail "--generate to a full disk ended with $status"

# A damaged, then a missing list refuses passphrases and says why; characters still come.
head -n 7775 "$LIST" >"$WORK/app/wordlist_en_eff.txt"
for state in damaged missing; do
  status=0
  run --words 7 || status=$?
  [ $status = 1 ] && [ ! -s "$WORK/out" ] && grep -q "no passphrase: the word list.* is $state" "$WORK/err" ||
    fail "--words with a $state list: $status, $(cat "$WORK/err")"
  run --length 8 && [ "$(wc -c <"$WORK/out")" = 9 ] || fail "--length 8 with a $state list"
  rm -f "$WORK/app/wordlist_en_eff.txt"
done
echo "generate: ok"
