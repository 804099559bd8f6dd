#!/usr/bin/env bash
# Builds the Debian package quorvel_<version>_amd64.deb and checks it with
# lintian:
#   scripts/package.sh [--check] [build folder]
# Without a build folder it makes a Release build with Debian's hardening flags
# in build-package/; with one, it packages that (already built) folder.
# --check then installs the package with apt-get, has an ordinary user start
# the menu entry's command on a private Xvfb display, add a record, start it
# again and add another (the files in ~/.local/share/quorvel), removes the
# package and checks that the user's files stayed. --check needs root, and
# refuses when a quorvel package is installed already.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
check=no
if [ "${1:-}" = --check ]; then check=yes; shift; fi
scripts/deps.sh package

if [ $# -gt 0 ]; then
  build=$(readlink -f "$1")
else
  build=$root/build-package
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  # Given on the command line, not through the environment, so that a
  # configured folder takes them up too.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
  ninja -C "$build" quorvel
fi
rm -f "$build"/quorvel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quorvel_*_amd64.deb)
echo "package: $deb"
lintian --fail-on error "$deb" || { echo "lintian reports an error" >&2; exit 1; }
[ "$check" = yes ] || exit 0

[ "$(id -u)" = 0 ] || { echo "--check installs a package and switches users: run it as root" >&2; exit 1; }
if dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q 'install ok installed'; then
  echo "a quorvel package is installed already; --check would replace and remove it" >&2
  exit 1
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
trap 'apt-get remove -y -qq quorvel >/dev/null 2>&1 || true' EXIT
[ "$(quorvel --version | cut -d' ' -f1-2)" = "Quorvel 1.2b" ] || { echo "quorvel --version" >&2; exit 1; }
command=$(sed -n 's/^Exec=//p' /usr/share/applications/quorvel.desktop)

display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; apt-get remove -y -qq quorvel >/dev/null 2>&1 || true' EXIT
for _ in $(seq 1 50); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done
export DISPLAY=":$display"

# The end-to-end helpers drive the installed program as a person would.
source tests/e2e/lib.sh "$(command -v "$command")"
home=$(mktemp -d /tmp/quorvel-package-home-XXXXXX)
trap 'cleanup; kill $xvfb_pid 2>/dev/null || true; rm -rf "$home"; apt-get remove -y -qq quorvel >/dev/null 2>&1 || true' EXIT
choose_test_user
chown "$TEST_USER:" "$home"
data=$home/.local/share/quorvel
for description in "first start" "second start"; do
  start_as_test_user "$home" "$command"
  MAIN=$(main_window) || fail "the installed program showed no window"
  add_record "$description"
  stop_app
done
[ "$(stat -c '%U %a' "$data")" = "$TEST_USER 700" ] || fail "data folder $(stat -c '%U %a' "$data")"
[ "$(stat -c %a "$data/quorvel.key") $(stat -c %a "$data/quorvel.dat")" = "600 600" ] || fail "file modes"
[ "$(decrypt_line "$data" 1)" = "first start" ] && [ "$(decrypt_line "$data" 3)" = "second start" ] ||
  fail "the second start did not keep the first record"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quorvel >/dev/null
[ ! -e /usr/bin/quorvel ] || fail "apt-get remove left /usr/bin/quorvel"
[ "$(record_lines "$data")" = 5 ] && [ -f "$data/quorvel.key" ] || fail "apt-get remove touched the user's files"
echo "package check: installed, used by $TEST_USER, removed; the user's files stayed"
