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
# Every benchmark runs on one CPU (BENCH_CPU, default 1): timings of the Wine
# server's round trips swing severalfold when the scheduler moves them about.
cpu=${BENCH_CPU:-1}
pinned() { taskset -c "$cpu" "$@"; }
# The whole output is kept beside the build, where the ratios are read from.
out="$build/bench.log"
{
  echo "=== fade frame ($target, CPU $cpu)"
  pinned wine "$build/bench/fade_bench.exe"
  echo "=== skin loading ($target)"
  pinned wine "$build/bench/skinload_bench.exe" "$(winepath -w "$build/skins")"
  echo "=== generated skin files of growing size ($target)"
  pinned wine "$build/bench/skinsize_bench.exe"
  echo "=== a form of 100 push buttons, then with labels, speed buttons and panels: skinned against plain ($target)"
  pinned wine "$build/bench/button_bench.exe"
  echo "=== a thumb drag over a list box of 10,000 lines: skinned bar against plain ($target)"
  pinned wine "$build/bench/scroll_bench.exe"
  echo "=== a message round trip through the class library ($target)"
  pinned wine "$build/bench/message_bench.exe"
  echo "=== a form's frame: full repaint and a caption drag of 100 moves, skinned against the system's ($target)"
  pinned wine "$build/bench/frame_bench.exe"
  echo "=== filling and scrolling a list box of 10,000 lines: skinned against plain ($target)"
  pinned wine "$build/bench/listbox_bench.exe"
} 2>&1 | tee "$out"
echo "=== ratios ($target)"
grep -E "x memcpy|per MB of file| x plain|ratio" "$out" || true
