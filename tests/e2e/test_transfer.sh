#!/usr/bin/env bash
# Records out to CSV and back in from the terminal, and a record file
# replaced from outside while the program runs, the way a sync tool does it:
# what either side added is kept.
source "$(dirname "$0")/lib.sh"
run() { (cd "$WORK" && "$WORK/app/quorvel" "$@") >"$WORK/out.log" 2>&1; }

fresh_folder
start_app
MAIN=$(main_window) || fail "no main window"
add_record "bank"
add_record "mail"
stop_app
records=$(dump)

# Export: owner-only, KeePassXC's layout, and it says the file is not
# encrypted. Python's csv module reads every record back with its times.
run --export out.csv || fail "--export failed"
grep -q "not encrypted" "$WORK/out.log" || fail "the export does not say it is not encrypted"
[ "$(file_mode "$WORK/out.csv")" = 600 ] || fail "export mode $(file_mode "$WORK/out.csv")"
[ "$(head -n1 "$WORK/out.csv")" = $'"Group","Title","Username","Password","URL","Notes","TOTP","Icon","Last Modified","Created"\r' ] ||
  fail "export header: $(head -n1 "$WORK/out.csv")"
read_back=$(/usr/bin/python3 -c 'import csv, re, sys
for row in csv.DictReader(open(sys.argv[1], newline="")):
    assert row["Group"] == "Root" and row["Icon"] == "0", row
    assert all(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", row[t]) for t in ("Created", "Last Modified")), row
    print(row["Title"]); print(row["Password"])' "$WORK/out.csv") || fail "the export does not read back"
[ "$read_back" = "$records" ] || fail "the export reads back as: $read_back"
# An existing file is never replaced.
cp "$WORK/out.csv" "$WORK/first.csv"
run --export out.csv && fail "--export replaced an existing file"
cmp -s "$WORK/out.csv" "$WORK/first.csv" || fail "the existing export was changed"
status=0
run --export || status=$?
[ "$status" = 2 ] || fail "--export without a file ended with $status"

# Imported into an empty folder, which gets a pair as a first start makes it,
# the export gives the same records.
fresh_folder
run --import out.csv || fail "--import into an empty folder failed: $(cat "$WORK/out.log")"
[ "$(file_mode "$WORK/app/quorvel.key")" = 600 ] || fail "the new key file is not owner-only"
grep -qx "Imported 2 records; skipped 0 (0 empty, 0 already there)." "$WORK/out.log" ||
  fail "import summary: $(cat "$WORK/out.log")"
[ "$(dump)" = "$records" ] || fail "the imported records differ: $(dump)"
# A malformed file names its line and changes nothing.
cp "$WORK/app/quorvel.dat" "$WORK/before.dat"
printf 'Title,Password\r\nshop,"x\r\nok,y\r\n' >"$WORK/bad.csv"
run --import bad.csv && fail "a malformed file was imported"
grep -q "Line 2" "$WORK/out.log" || fail "the fault's line is not named: $(cat "$WORK/out.log")"
cmp -s "$WORK/before.dat" "$WORK/app/quorvel.dat" || fail "a malformed import changed quorvel.dat"

# While the program runs, another machine's version (one more record) is
# renamed over quorvel.dat; a record added in the window then joins both.
# The other machine is a copy of the program in a folder of its own, given
# this pair: its import saves the next generation of the same file.
start_app
MAIN=$(main_window) || fail "no main window"
mkdir "$WORK/there"
cp "$WORK/app/quorvel" "$WORK/app/quorvel.key" "$WORK/app/quorvel.dat" "$WORK/there/"
printf 'Title,Password\r\nfrom elsewhere,pw-there\r\n' >"$WORK/there.csv"
"$WORK/there/quorvel" --import "$WORK/there.csv" >"$WORK/there.log" 2>&1 || fail "import there: $(cat "$WORK/there.log")"
mv "$WORK/there/quorvel.dat" "$WORK/app/quorvel.dat"
add_record "here"
[ "$(dump | sed -n '1p;3p;5p;7,8p' | tr '\n' '|')" = "bank|mail|here|from elsewhere|pw-there" ] ||
  fail "the merge lost a record: $(dump | tr '\n' '|')"
# A version that cannot be read with the key (another key file's) is not
# overwritten: nothing is written.
head -c 64 /dev/urandom | xxd -p -u -c 64 | sed 's/$/\r/' >"$WORK/app/other.tmp"
cp "$WORK/app/other.tmp" "$WORK/other.dat"
mv "$WORK/app/other.tmp" "$WORK/app/quorvel.dat"
add_record "later"
cmp -s "$WORK/other.dat" "$WORK/app/quorvel.dat" || fail "a file that cannot be read was overwritten"
stop_app
echo "transfer: ok"
