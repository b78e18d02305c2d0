#!/usr/bin/env bash
# Builds the core natively with g++ and runs each reader's fuzz target, in its
# replay form, over the built-in skins: every picture, packed file and
# "Options.dat" must go through them without a fault.
#   native-core.sh FUZZ_SOURCE_DIR BUILD_DIR SKINS_DIR
set -euo pipefail
source=$1 build=$2 skins=$3
if ! echo '#include <zlib.h>' | g++ -x c++ -fsyntax-only - 2>/dev/null; then
  echo "no host zlib headers (zlib1g-dev): native build skipped"
  exit 77
fi
[ -f "$build/CMakeCache.txt" ] || cmake -S "$source" -B "$build" -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build "$build" -j"$(nproc)"
"$build/fuzz_bmp" "$skins"/*/*.bmp
"$build/fuzz_zip" "$skins"/*.asz
"$build/fuzz_skinfile" "$skins"/*/Options.dat
