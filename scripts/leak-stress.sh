#!/usr/bin/env bash
# Runs the leak test with a thousand cycles of each kind (or SKIN_LEAK_CYCLES)
# for one target (default i686) under Wine: forms of every skinned control,
# dialogs of every adapter kind, hooked message boxes and standard dialogs,
# and skin switches with a form open, none of which may leave GDI or USER
# objects behind.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Where builds, Wine prefixes and pictures go (several trees may share a checkout).
root=${SKIN_BUILD_ROOT:-$here/build}
target=${1:-i686}

bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" "$target"

source "$here/scripts/wine-env.sh"
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
wine_env_start "$root/wineprefix"

export SKIN_LEAK_CYCLES=${SKIN_LEAK_CYCLES:-1000}
echo "=== leak test, $SKIN_LEAK_CYCLES cycles ($target)"
wine "$root/$target/tests/skin/leaks/skin_leak_tests.exe" --gtest_color=no
