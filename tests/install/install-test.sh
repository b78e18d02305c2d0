#!/usr/bin/env bash
# Installs the library from BUILD_DIR into a temporary prefix, moves the
# installed tree (the package must not depend on where it was put), builds
# the program in app/ against it with the cross toolchain, and runs it under
# Wine. Configuring and building run natively; only the program runs in Wine.
#   install-test.sh BUILD_DIR TOOLCHAIN_FILE
set -euo pipefail
build=$1 toolchain=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/staged" >/dev/null
mv "$work/staged" "$work/prefix"
cmake -S "$here/app" -B "$work/app" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DSkinLibrary_DIR="$work/prefix/lib/cmake/SkinLibrary" >/dev/null
cmake --build "$work/app"
# Run away from the build tree, so that only the program's own resources
# can hold the built-in skin.
cd "$work"
wine "$work/app/skinned_app.exe"
