#!/usr/bin/env bash
# Configures and builds one target: scripts/build.sh i686|x86_64 [cmake args...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Where builds, Wine prefixes and pictures go (several trees may share a checkout).
root=${SKIN_BUILD_ROOT:-$here/build}
target=$1; shift
case "$target" in
  i686|x86_64) ;;
  *) echo "usage: $0 i686|x86_64" >&2; exit 2 ;;
esac
build="$root/$target"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$target-w64-mingw32.cmake" \
        -DSKIN_WERROR=${SKIN_WERROR:-ON} "$@" >/dev/null
elif (($#)); then
  cmake "$build" "$@" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
