#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs that are not installed yet.
# Usage: scripts/deps.sh build|test|package
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config libfltk1.3-dev libssl-dev libx11-dev libxtst-dev libxfixes-dev
                libxss-dev libsystemd-dev libargon2-dev libzxcvbn-dev libgtest-dev libbenchmark-dev dpkg-dev)
# The validators of the installed menu entry, metadata and man page.
validators=(desktop-file-utils appstream mandoc)
# What the end-to-end helpers use to drive the program and read its files.
e2e_tools=(xvfb xdotool openssl xxd python3-argon2 python3-cryptography)
# xset turns the screen saver on, and a private dbus-daemon stands in for the
# system bus, in the lock watch's tests.
test_packages=("${e2e_tools[@]}" xclip imagemagick x11-utils x11-xserver-utils dbus-daemon "${validators[@]}")
package_packages=(lintian "${e2e_tools[@]}" "${validators[@]}")

wanted=("${build_packages[@]}")
case "${1:-build}" in
  test) wanted+=("${test_packages[@]}") ;;
  package) wanted+=("${package_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
