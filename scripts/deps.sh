#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs that are not installed yet.
# Usage: scripts/deps.sh build|test
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config libfltk1.3-dev libssl-dev libx11-dev libxtst-dev libxfixes-dev
                libargon2-dev libgtest-dev libbenchmark-dev)
test_packages=(xvfb xdotool xclip imagemagick openssl xxd x11-utils python3-argon2 python3-cryptography)

wanted=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then wanted+=("${test_packages[@]}"); fi

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
