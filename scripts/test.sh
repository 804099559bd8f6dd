#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer configuration
# and runs every test of both on a private virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/deps.sh test

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j"$jobs"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF >/dev/null
ninja -C build-asan -j"$jobs"

# A display number nobody uses. -noreset: without it the server resets each
# time its last client leaves, and a program starting at that moment cannot
# connect.
display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done
export DISPLAY=":$display"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"

status=0
echo "== normal build =="
(cd build && ctest --output-on-failure) || status=1
echo "== sanitizer build =="
(cd build-asan && ctest --output-on-failure) || status=1
# The Debian package of the normal build: lintian, then installed, used by an
# ordinary user and removed again. Needs root; never replaces a quorvel
# package that is installed already.
echo "== Debian package =="
if [ "$(id -u)" = 0 ] && ! dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q 'install ok installed'; then
  scripts/package.sh --check build || status=1
else
  echo "skipped: needs root and no quorvel package installed"
fi
exit $status
