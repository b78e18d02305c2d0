#!/usr/bin/env bash
# Where scripts/wine-env.sh puts the Wine prefix: inside the folder it is
# given, whatever dots and spaces the folders above hold; one per run at a
# time, reused by later runs whatever their display.
# Wine and its server are stood in for by shell functions, so the check takes
# no time and touches no running Wine; everything it writes is in SCRATCH_DIR.
#   wine-env-test.sh WINE_ENV_SCRIPT SCRATCH_DIR
set -euo pipefail
script=$1 scratch=$2
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

rm -rf "$scratch"
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
source "$script"
wine() { :; }
wineserver() { :; }

# Started as the scripts start it, from a checkout in dotted and spaced folders.
build="$scratch/first.last/my src.d/.cache/skin 2.0/build"
mkdir -p "$build"
# A run on DISPLAY must be given the prefix WANT.
expect_prefix() {  # DISPLAY WANT WHO
  (
    export DISPLAY=$1
    wine_env_start "$build/wineprefix"
    [ "$WINEPREFIX" = "$2" ] || fail "$3 was given '$WINEPREFIX', not '$2'"
    wine_env_stop
    exit $failures
  ) || failures=$((failures + $?))
}
(
  export DISPLAY=:97.0
  wine_env_start "$build/wineprefix"
  [ "$WINEPREFIX" = "$build/wineprefix-97" ] || fail "started on :97.0, the prefix is '$WINEPREFIX'"
  [ -f "$build/wineprefix-97/.skin-prefix-ready-2" ] || fail "the prefix was not made in '$build'"
  # A second run while the first holds its prefix gets one of its own, even
  # when its display has the same number.
  expect_prefix :97.1 "$build/wineprefix-97-2" "a second run at once on :97.1"
  # Another run, once that one is done, takes over its prefix.
  expect_prefix :98 "$build/wineprefix-97-2" "a run on :98 while that prefix was free"
  wine_env_stop
  exit $failures
) || failures=$((failures + $?))
# A later run on yet another display reuses a prefix made before, and a
# process it leaves behind (as a Wine process may be) does not keep it.
(
  export DISPLAY=:99
  wine_env_start "$build/wineprefix"
  case $WINEPREFIX in
    "$build/wineprefix-97" | "$build/wineprefix-97-2") ;;
    *) fail "a later run on :99 was given '$WINEPREFIX', not a prefix made before" ;;
  esac
  sleep 5 </dev/null >/dev/null 2>&1 &
  wine_env_stop
  echo "$WINEPREFIX" >"$build/last-prefix"
  exit $failures
) || failures=$((failures + $?))
[ ! -e "$build/wineprefix-99" ] || fail "a later run on :99 made a prefix of its own"
expect_prefix :100 "$(cat "$build/last-prefix")" "the run after one that left a process behind"
outside=$(find "$scratch" -mindepth 1 -not -path "$build" -not -path "$build/*" -type f)
[ -z "$outside" ] || fail "written outside the build folder: $outside"
others=$(find "$scratch" -mindepth 1 -type d -not -path "$build" -not -path "$build/*" -printf '%P\n' | sort | tr '\n' '|')
[ "$others" = "first.last|first.last/my src.d|first.last/my src.d/.cache|first.last/my src.d/.cache/skin 2.0|" ] ||
  fail "folders made outside the build folder: $others"

# The prefix for a display name: only the name's screen number is dropped.
while IFS='|' read -r dir display want; do
  got=$(cd "$scratch" && wine_env_prefix "$dir" "$display") || got="(failed)"
  [ "$got" = "$want" ] || fail "prefix for '$dir' on '$display' is '$got', not '$want'"
done <<TABLE
/home/first.last/src/skin/build/wineprefix|:99|/home/first.last/src/skin/build/wineprefix-99
/home/first.last/src/skin/build/wineprefix|:99.0|/home/first.last/src/skin/build/wineprefix-99
/root/.cache/my skin/build/wineprefix|:120.1|/root/.cache/my skin/build/wineprefix-120
/srv/a.b c.d/build/wineprefix|localhost:10.0|/srv/a.b c.d/build/wineprefix-localhost-10
/srv/x/wineprefix|my.host:3|/srv/x/wineprefix-my.host-3
/srv/x/wineprefix|/tmp/launchd.1/org.xquartz:0|/srv/x/wineprefix-_tmp_launchd.1_org.xquartz-0
v1.2 build/wineprefix|:5.2|$scratch/v1.2 build/wineprefix-5
TABLE

((failures == 0)) || exit 1
echo "wine prefixes land in the build folder"
