#!/usr/bin/env bash
# Installs, on a Debian 12 machine run as root, what the build and the tests
# need: the mingw-w64 cross compilers, zlib for them, GoogleTest's sources,
# 32- and 64-bit Wine, Xvfb and ImageMagick. Quick when all is present.
#   scripts/setup.sh [PACKAGE...]   installs only the packages named (scripts/fuzz.sh)
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  rm -f /var/lib/apt/periodic/skin-updated
fi

packages=("$@")
((${#packages[@]})) || packages=(cmake make g++ wine wine64 wine32:i386 g++-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest xvfb xauth imagemagick)
for p in "${packages[@]}"; do
  have_pkg "$p" || need+=("$p")
done

if ((${#need[@]})); then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
