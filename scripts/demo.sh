#!/usr/bin/env bash
# Builds and runs the gallery. With a DISPLAY it opens there; with none it runs
# under Xvfb and writes a PNG screenshot whose path it prints.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Where builds, Wine prefixes and pictures go (several trees may share a checkout).
root=${SKIN_BUILD_ROOT:-$here/build}
target=${SKIN_TARGET:-i686}

bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" "$target"

source "$here/scripts/wine-env.sh"
had_display=${DISPLAY:-}
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
wine_env_start "$root/wineprefix"

exe="$root/$target/examples/gallery/gallery.exe"
if [ -n "$had_display" ]; then
  wine "$exe" "$@"
else
  shot="$root/gallery.png"
  bmp="$root/gallery-shot.bmp"
  rm -f "$bmp" "$shot"
  wine "$exe" --screenshot "$(winepath -w "$bmp" 2>/dev/null)" "$@" </dev/null
  convert "$bmp" "$shot"
  rm -f "$bmp"
  echo "screenshot: $shot"
fi
