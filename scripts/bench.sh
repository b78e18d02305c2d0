#!/usr/bin/env bash
# Builds the benchmarks (-DSKIN_BUILD_BENCH=ON) for one target (default i686)
# and runs them once under Wine: a fade frame against memcpy and AlphaBlend,
# the loading of each built-in skin from resource, folder and packed file, and
# a form of buttons (then with panels, speed buttons, labels) skinned vs plain.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Where builds, Wine prefixes and pictures go (several trees may share a checkout).
root=${SKIN_BUILD_ROOT:-$here/build}
target=${1:-i686}

bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" "$target" -DSKIN_BUILD_BENCH=ON

source "$here/scripts/wine-env.sh"
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
wine_env_start "$root/wineprefix"

build="$root/$target"
echo "=== fade frame ($target)"
wine "$build/bench/fade_bench.exe"
echo "=== skin loading ($target)"
wine "$build/bench/skinload_bench.exe" "$(winepath -w "$build/skins")"
echo "=== a form of 100 push buttons, then with labels, speed buttons and panels: skinned against plain ($target)"
wine "$build/bench/button_bench.exe"
echo "=== a thumb drag over a list box of 10,000 lines: skinned bar against plain ($target)"
wine "$build/bench/scroll_bench.exe"
echo "=== a form's frame: full repaint and a caption drag of 100 moves, skinned against the system's ($target)"
wine "$build/bench/frame_bench.exe"
