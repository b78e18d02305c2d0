#!/usr/bin/env bash
# Builds and runs the gallery. With a DISPLAY it opens there; with none it runs
# under Xvfb and writes a PNG screenshot whose path it prints.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
target=${SKIN_TARGET:-i686}

bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" "$target"

source "$here/scripts/wine-env.sh"
had_display=${DISPLAY:-}
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
wine_env_start "$here/build/wineprefix"

exe="$here/build/$target/examples/gallery/gallery.exe"
if [ -n "$had_display" ]; then
  wine "$exe" "$@"
else
  shot="$here/build/gallery.png"
  bmp="$here/build/gallery-shot.bmp"
  rm -f "$bmp" "$shot"
  wine "$exe" --screenshot "$(winepath -w "$bmp" 2>/dev/null)" "$@" </dev/null
  convert "$bmp" "$shot"
  rm -f "$bmp"
  echo "screenshot: $shot"
fi
