# Sourced by the test and demo scripts: a private Wine prefix and, when asked,
# an Xvfb display, both stopped again by wine_env_stop (installed as a trap).
#   wine_env_start PREFIX_DIR [need_display]
#   wine_env_stop
#   wine_env_prefix PREFIX_DIR DISPLAY   prints the name a new prefix gets

WINE_ENV_XVFB_PID=""
WINE_ENV_LOCK_PID=""

wine_env_free_display() {
  local n
  for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      echo ":$n"
      return 0
    fi
  done
  return 1
}

# The name of a new prefix, after the display of the run that makes it:
# PREFIX_DIR-99 for ":99" and ":99.0" alike. Only the display name is
# trimmed (its screen number goes, and anything that is no file-name
# character becomes "_"); PREFIX_DIR is kept whole, whatever dots or spaces
# its folders hold, and made absolute, since Wine takes no relative prefix.
wine_env_prefix() {
  local dir=$1 display=$2
  local host="" number=${display##*:}
  case $display in
    *:*) host=${display%:*} ;;
  esac
  number=${number%%.*}
  local tag=${host:+$host-}$number
  tag=${tag//[^A-Za-z0-9_.-]/_}
  case $dir in
    /*) ;;
    *) dir=$PWD/$dir ;;
  esac
  echo "$dir${tag:+-$tag}"
}

# Sets WINEPREFIX to a prefix that an earlier run made (on any display) and
# no running one holds, else to a new one named for the display. A prefix is
# over a gigabyte, so it is reused rather than made once per display number;
# the lock beside it keeps two runs from sharing a prefix and its Wine server.
# The lock is held by a watcher that ends with this shell, not by the shell:
# every Wine process would inherit it, and one left behind would keep it.
wine_env_claim_prefix() {
  local fresh dir c fd candidates=()
  fresh=$(wine_env_prefix "$1" "$2")
  dir=$(wine_env_prefix "$1" "")
  mkdir -p "$(dirname "$dir")"
  for c in "$fresh" "$dir"-*; do
    [ -f "$c/.skin-prefix-ready-2" ] && candidates+=("$c")
  done
  candidates+=("$fresh" "$fresh-2" "$fresh-3" "$fresh-4")
  for c in "${candidates[@]}"; do
    exec {fd}>>"$c.lock"
    if flock -n "$fd"; then
      (while kill -0 $$ 2>/dev/null; do eval "sleep 2 $fd>&-"; done) </dev/null >/dev/null 2>&1 &
      WINE_ENV_LOCK_PID=$!
      exec {fd}>&-
      export WINEPREFIX=$c
      return 0
    fi
    exec {fd}>&-
  done
  echo "no free Wine prefix beside $dir" >&2
  return 1
}

wine_env_start() {
  local prefix=$1 need_display=${2:-yes}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64

  if [ "$need_display" = yes ] && [ -z "${DISPLAY:-}" ]; then
    local display
    display=$(wine_env_free_display) || { echo "no free X display" >&2; return 1; }
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -ac </dev/null >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    export DISPLAY=$display
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X${display#:}" ] && break
      sleep 0.1
    done
  fi

  wine_env_claim_prefix "$prefix" "${DISPLAY:-}" || return 1
  prefix=$WINEPREFIX
  mkdir -p "$prefix"
  # No other run holds the prefix now: a server still running on it is left
  # from a run that was killed, with its desktop on a display that is gone.
  wineserver -k </dev/null >/dev/null 2>&1 || true
  # A persistent server; its helpers must not hold our pipes or CTest waits on them.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$prefix/.skin-prefix-ready-2" ]; then
    wine wineboot -i </dev/null >/dev/null 2>&1 || true
    # No window manager runs: let Wine draw captions and frames itself, and
    # not wait for a window manager whenever a top-level window hides.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    touch "$prefix/.skin-prefix-ready-2"
    # What the first boot leaves running slows every later Wine process by
    # many seconds: start again on a fresh server.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1 || true
    wine wineboot </dev/null >/dev/null 2>&1 || true
  else
    wine wineboot </dev/null >/dev/null 2>&1 || true
  fi
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "$WINE_ENV_XVFB_PID" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=""
  fi
  if [ -n "$WINE_ENV_LOCK_PID" ]; then
    kill "$WINE_ENV_LOCK_PID" 2>/dev/null || true
    wait "$WINE_ENV_LOCK_PID" 2>/dev/null || true
    WINE_ENV_LOCK_PID=""
  fi
}
