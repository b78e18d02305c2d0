#!/usr/bin/env bash
# Builds and runs every test for the given targets (default: i686 and x86_64)
# under Wine on an Xvfb display, one process per test executable.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Where builds, Wine prefixes and pictures go (several trees may share a checkout).
root=${SKIN_BUILD_ROOT:-$here/build}
targets=("$@")
((${#targets[@]})) || targets=(i686 x86_64)

bash "$here/scripts/setup.sh"
for t in "${targets[@]}"; do
  bash "$here/scripts/build.sh" "$t"
done

source "$here/scripts/wine-env.sh"
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
wine_env_start "$root/wineprefix"

status=0
summaries=()
for t in "${targets[@]}"; do
  echo "=== tests: $t"
  log="$root/$t/ctest.log"
  if ctest --test-dir "$root/$t" --output-on-failure -j1 ${CTEST_ARGS:-} 2>&1 | tee "$log"; then :; else status=1; fi
  summaries+=("$t: $(grep -E 'tests passed|tests failed' "$log" | tail -n 1)")
done
echo "=== summary"
printf '%s\n' "${summaries[@]}"
exit $status
