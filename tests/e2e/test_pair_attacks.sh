#!/usr/bin/env bash
# The pair meddled with from outside: a key file swapped in, an older copy
# renamed back, a record file cut short, and conflict copies a sync tool left.
source "$(dirname "$0")/lib.sh"
FILES=$E2E_DIR/quorvel_files.py

# Every record of the program's pair as "description<TAB>password", sorted.
sorted_records() { dump | paste - - | sort; }

# Another valid key file renamed over quorvel.key while the window runs: the
# next save writes nothing, so nothing reads under the stranger's key.
fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "first"
cp "$WORK/app/quorvel.dat" "$WORK/dat.before"
write_key "$WORK/app/stranger.key"
cp "$WORK/app/stranger.key" "$WORK/stranger.key"
mv "$WORK/app/stranger.key" "$WORK/app/quorvel.key"
add_record "second"
for _ in $(seq 1 50); do
  same_as_reference "$MAIN" 630x18+5+327 status-key-changed && break
  sleep 0.1
done
same_as_reference "$MAIN" 630x18+5+327 status-key-changed || fail "the status bar does not say the key file changed"
cmp -s "$WORK/dat.before" "$WORK/app/quorvel.dat" || fail "a save went ahead under a swapped key file"
cmp -s "$WORK/stranger.key" "$WORK/app/quorvel.key" || fail "the swapped-in key file was replaced"
file_header >/dev/null 2>&1 && fail "the header reads under the swapped-in key"
dump >/dev/null 2>&1 && fail "the records read under the swapped-in key"
[ "$(ls "$WORK/app" | wc -l)" = 3 ] || fail "files left: $(ls "$WORK/app")"
stop_app

# An older copy renamed over quorvel.dat while the window runs takes back
# nothing: the next save holds what either copy holds.
fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "A"
add_record "B"
cp "$WORK/app/quorvel.dat" "$WORK/older.dat"
add_record "C"
add_record "D"
before=$(sorted_records)
mv "$WORK/older.dat" "$WORK/app/quorvel.dat"
add_record "E"
stop_app
after=$(sorted_records)
[ "$(cut -f1 <<<"$after" | tr '\n' ' ')" = "A B C D E " ] && [ "$(grep -v '^E' <<<"$after")" = "$before" ] ||
  fail "records lost, doubled or taken back: $(tr '\t\n' ' |' <<<"$after")"

# A record file cut short (the last record's lines gone) fails its header:
# an export and a re-keying end with status 1 and leave the pair as it was.
fresh_folder
write_key "$WORK/app/quorvel.key"
printf 'Title,Password\r\na,1\r\nb,2\r\nc,3\r\n' >"$WORK/three.csv"
"$WORK/app/quorvel" --import "$WORK/three.csv" >"$WORK/out.log" 2>&1 || fail "import of three records"
head -n -2 "$WORK/app/quorvel.dat" >"$WORK/short.dat"
cp "$WORK/short.dat" "$WORK/app/quorvel.dat"
cp "$WORK/app/quorvel.key" "$WORK/key.before"
for command in "--export $WORK/out.csv" --rekey; do
  status=0
  # shellcheck disable=SC2086
  "$WORK/app/quorvel" $command >"$WORK/out.log" 2>&1 || status=$?
  [ "$status" = 1 ] || fail "$command of a cut-short file ended with $status"
  cmp -s "$WORK/key.before" "$WORK/app/quorvel.key" && cmp -s "$WORK/short.dat" "$WORK/app/quorvel.dat" ||
    fail "$command of a cut-short file changed the pair"
done

# Two conflict copies beside the pair at start are merged into it, and each
# is renamed to "<name>.merged". quorvel_files.py numbers records by their
# place, so B and C have the same record id: both must stay all the same.
fresh_folder
write_key "$WORK/app/quorvel.key"
/usr/bin/python3 "$FILES" write "$WORK/app" 1 A pw-a
conflicts=("quorvel.sync-conflict-20261209-120000-ABCDEFG.dat" "quorvel (conflicted copy 2026-12-09 120000).dat")
added=(B C)
for i in 0 1; do
  rm -rf "$WORK/other" && mkdir "$WORK/other"
  cp "$WORK/app/quorvel.key" "$WORK/app/quorvel.dat" "$WORK/other/"
  /usr/bin/python3 "$FILES" write "$WORK/other" 2 A pw-a "${added[$i]}" "pw-${added[$i]}"
  mv "$WORK/other/quorvel.dat" "$WORK/app/${conflicts[$i]}"
done
start_app
main_window >/dev/null || fail "no main window"
for _ in $(seq 1 50); do [ -e "$WORK/app/${conflicts[1]}.merged" ] && break; sleep 0.1; done
stop_app
[ "$(sorted_records | tr '\t\n' ' |')" = "A pw-a|B pw-B|C pw-C|" ] || fail "merged: $(sorted_records | tr '\t\n' ' |')"
for name in "${conflicts[@]}"; do
  [ ! -e "$WORK/app/$name" ] && [ -f "$WORK/app/$name.merged" ] || fail "not renamed: $name"
done
# The merged file goes on past the copies' generation, so that theirs is the older.
[ "$(file_header "$WORK/app" | cut -d' ' -f2)" = 3 ] || fail "generation after the merge: $(file_header "$WORK/app")"
echo "pair attacks: ok"
