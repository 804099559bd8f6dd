#!/usr/bin/env bash
# Whole-program start-up figures: time from process start to the main window
# being mapped, and resident memory (VmRSS) once it is shown, for
#   - bare_window: an empty FLTK window with the application's FLTK set-up,
#   - quorvel with 0 records (an "rc4" key file, which loads the cipher
#     library's legacy provider, and an empty record file),
#   - quorvel with 0 records beside an AES key file (the kind new key files
#     have; no legacy provider),
#   - quorvel with 10,000 records ("rc4"),
#   - quorvel with 10,000 records of the "aes_256_gcm" kind in Quorvel 1.2's layout,
#   - quorvel with 10,000 records of the "aes_256_gcm" kind in the current
#     layout (authenticated header, one line per named field),
#   - the same with every field of a record filled,
# and the medians' ratios against the bare window (for 10,000 records also
# against bare window + the records benchmark's load time).
#
# Usage: bench/startup.sh [-n RUNS] [-b BUILD_DIR] [-s SETTLE_MS]
#   RUNS       runs per program (default 15)
#   BUILD_DIR  a Release/RelWithDebInfo build holding app/quorvel,
#              bench/bare_window, bench/map_timer and bench/bench_records
#              (default /work/build-bench); build them with
#              ninja -C BUILD_DIR quorvel bare_window map_timer bench_records
#   SETTLE_MS  wait after the map before reading VmRSS (default 300)
# Uses $DISPLAY when a server answers there, otherwise starts its own Xvfb.
set -euo pipefail

runs=15
build=/work/build-bench
settle=300
while getopts "n:b:s:h" opt; do
  case $opt in
    n) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    s) settle=$OPTARG ;;
    *) sed -n '2,17p' "$0"; exit 2 ;;
  esac
done

here=$(cd "$(dirname "$0")" && pwd)
title='Quorvel v1.2b'
quorvel=$build/app/quorvel
bare=$build/bench/bare_window
timer=$build/bench/map_timer
records_bench=$build/bench/bench_records
for f in "$quorvel" "$bare" "$timer"; do
  [[ -x $f ]] || { echo "missing $f: build it first (see the usage above)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/quorvel-startup-XXXXXX)
xvfb_pid=
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]] || ! xwininfo -root >/dev/null 2>&1; then
  for n in $(seq 63 99); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
    break
  done
  xwininfo -root >/dev/null 2>&1 || { echo "no X server could be started" >&2; exit 1; }
fi
echo "display $DISPLAY, $runs runs each, build $build"

# Each program directory holds its own copy of the binary: quorvel keeps its
# files beside itself.
mkdir "$work/q0" "$work/q0aes" "$work/q10k" "$work/q10kgcm" "$work/q10kgcm2" "$work/q10kfull"
for name in q0 q0aes q10k q10kgcm q10kgcm2 q10kfull; do cp "$quorvel" "$work/$name/quorvel"; done
python3 "$here/make_records.py" "$work/q0" 0
python3 "$here/make_records.py" "$work/q10k" 10000
/usr/bin/python3 "$here/make_records.py" --gcm "$work/q10kgcm" 10000
/usr/bin/python3 "$here/make_records.py" --gcm2 "$work/q10kgcm2" 10000
/usr/bin/python3 "$here/make_records.py" --gcm2 --full "$work/q10kfull" 10000
printf '%s\r\n%s\r\naes_256_cbc\r\n' 0123456789ABCDEFGabcdef012345678 a1B2c3D4e5F6a7B8 >"$work/q0aes/quorvel.key"
: >"$work/q0aes/quorvel.dat"

declare -A cmd=([bare]="$bare" [q0]="$work/q0/quorvel" [q0aes]="$work/q0aes/quorvel" [q10k]="$work/q10k/quorvel"
  [q10kgcm]="$work/q10kgcm/quorvel" [q10kgcm2]="$work/q10kgcm2/quorvel"
  [q10kfull]="$work/q10kfull/quorvel")
names=(bare q0 q0aes q10k q10kgcm q10kgcm2 q10kfull)
: >"$work/results"
# One warm-up run each (page cache), then the runs interleaved so that load
# from elsewhere on the machine falls on all three alike.
for name in "${names[@]}"; do "$timer" "$title" 0 60000 "${cmd[$name]}" >/dev/null; done
for ((i = 1; i <= runs; i++)); do
  for name in "${names[@]}"; do
    line=$("$timer" "$title" "$settle" 60000 "${cmd[$name]}")
    echo "$name $line" >>"$work/results"
  done
done

# The records benchmark's load of 10,000 records (median wall time).
load_ms=
if [[ -x $records_bench ]]; then
  load_ms=$(cd "$work" && "$records_bench" --benchmark_filter='BM_LoadRecords/10000$' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null |
    python3 -c '
import json, sys
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") == "median":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        print(b["real_time"] * scale)
')
fi

python3 - "$work/results" "$load_ms" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, *fields = line.split()
    values = dict(f.split("=") for f in fields)
    rows.setdefault(name, []).append((float(values["map_ms"]), int(values["rss_kb"])))
med = {n: (statistics.median(t for t, _ in r), statistics.median(m for _, m in r)) for n, r in rows.items()}
label = {"bare": "bare window", "q0": "quorvel, 0 records, rc4", "q0aes": "quorvel, 0 records, AES",
         "q10k": "quorvel, 10,000 records", "q10kgcm": "quorvel, 10,000 GCM, 1.2", "q10kgcm2": "quorvel, 10,000 GCM",
         "q10kfull": "quorvel, 10,000 all fields"}
print(f"{'':26}{'map ms (median)':>16}{'min':>9}{'max':>9}{'VmRSS kB':>11}{'time/bare':>11}{'mem/bare':>10}")
for n in ("bare", "q0", "q0aes", "q10k", "q10kgcm", "q10kgcm2", "q10kfull"):
    times = [t for t, _ in rows[n]]
    t, m = med[n]
    print(f"{label[n]:26}{t:16.1f}{min(times):9.1f}{max(times):9.1f}{m:11.0f}"
          f"{t / med['bare'][0]:11.2f}{m / med['bare'][1]:10.2f}")
if sys.argv[2]:
    load = float(sys.argv[2])
    target = med["bare"][0] + load
    print(f"records load (bench_records, 10,000): {load:.1f} ms; bare + load = {target:.1f} ms; "
          f"quorvel 10,000 / (bare + load) = {med['q10k'][0] / target:.2f}")
else:
    print("bench_records not found: no load-time ratio")
for n in ("q10k", "q10kgcm", "q10kgcm2", "q10kfull"):
    print(f"{label[n]}: {med[n][0] - med['bare'][0]:+.1f} ms over the bare window (aim: at most +60 ms)")
print("aims: 0 records time <= 1.2x, memory <= 1.3x; 10,000 records time <= 1.3x (bare + load)")
PY
