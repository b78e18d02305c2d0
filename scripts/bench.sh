#!/usr/bin/env bash
# Builds the benchmarks (-DSKIN_BUILD_BENCH=ON) for one target (default i686)
# and runs them under Wine, each three times: a fade frame against memcpy,
# the loading of each built-in skin, client repaints of whole forms skinned
# against plain (buttons, every kind of control, a dialog skinned by the
# hook), a form's frame against the system's, thumb drags and list-box
# scrolling. It prints the median of each ratio beside its goal and marks the
# ones that miss it, then counts the Wine server's requests of one repaint of
# each form, skinned and plain: a figure that does not depend on the machine.
#   BENCH_CPU  the CPU the benchmark, the Wine server and Xvfb share (1)
#   BENCH_RUNS timed runs of each benchmark (3)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Where builds, Wine prefixes and pictures go (several trees may share a checkout).
root=${SKIN_BUILD_ROOT:-$here/build}
target=${1:-i686}
runs=${BENCH_RUNS:-3}

bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" "$target" -DSKIN_BUILD_BENCH=ON

source "$here/scripts/wine-env.sh"
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
wine_env_start "$root/wineprefix"

build="$root/$target"
# Everything runs on one CPU (BENCH_CPU, default 1), the Wine server and the
# X server too: the benchmarks' round trips to them swing severalfold when
# the scheduler moves any of the three about.
cpu=${BENCH_CPU:-1}
pinned() { taskset -c "$cpu" "$@"; }
# The Wine server of our prefix: the one whose environment names it.
our_wineserver() {
  local pid
  for pid in $(pgrep -x 'wineserver(64)?' || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
    fi
  done
}
pin_servers() {
  local pid
  for pid in $(our_wineserver) ${WINE_ENV_XVFB_PID:-}; do
    taskset -a -p -c "$cpu" "$pid" >/dev/null 2>&1 || true
  done
}
pin_servers

out="$build/bench.log"
results="$build/bench.results"
: >"$results"
bench() {  # name [arguments...]
  local name=$1
  shift
  pinned wine "$build/bench/$name.exe" "$@" 2>&1 | tee -a "$results" | grep -v '^@' || true
}
{
  for run in $(seq 1 "$runs"); do
    echo "===== run $run of $runs ($target, CPU $cpu)"
    echo "=== fade frame"
    bench fade_bench
    echo "=== skin loading"
    bench skinload_bench "$(winepath -w "$build/skins")"
    echo "=== generated skin files of growing size"
    bench skinsize_bench
    echo "=== client repaints of whole forms: skinned against plain"
    bench repaint_bench
    echo "=== a thumb drag over a list box of 10,000 lines: skinned bar against plain"
    bench scroll_bench
    echo "=== a message round trip through the class library"
    bench message_bench
    echo "=== a form's frame: skinned against the system's"
    bench frame_bench
    echo "=== filling and scrolling a list box of 10,000 lines: skinned against plain"
    bench listbox_bench
  done
} 2>&1 | tee "$out"

echo "=== medians of $runs runs ($target): times in microseconds, skinned and plain"
awk '$1 == "@time" { k = $2; side = k; sub(/.*\./, "", side); sub(/\.[^.]*$/, "", k)
    v[k, side] = v[k, side] " " $3; if (!(k in seen)) { seen[k] = 1; names[++n] = k } }
  function median(list,   c, a, x, y, t) {
    c = split(substr(list, 2), a, " ")
    for (x = 1; x <= c; x++) for (y = x + 1; y <= c; y++) if (a[y] < a[x]) { t = a[x]; a[x] = a[y]; a[y] = t }
    return c % 2 ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2
  }
  END { for (i = 1; i <= n; i++) printf "  %-20s %10.0f %10.0f\n", names[i], median(v[names[i], "skinned"]), median(v[names[i], "plain"]) }
' "$results" | tee -a "$out"
echo "=== medians of $runs runs ($target): ratio, goal"
awk '$1 == "@ratio" { v[$2] = v[$2] " " $3; g[$2] = $4 + 0; order[$2] = order[$2] ? order[$2] : ++n; names[n] = $2 }
  END {
    misses = 0
    for (i = 1; i <= n; i++) {
      k = names[i]; c = split(substr(v[k], 2), a, " ")
      for (x = 1; x <= c; x++) for (y = x + 1; y <= c; y++) if (a[y] < a[x]) { t = a[x]; a[x] = a[y]; a[y] = t }
      m = c % 2 ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2
      if (g[k] > 0) {
        verdict = m <= g[k] ? "ok" : "MISSES its goal"
        if (m > g[k]) misses++
        printf "  %-20s %6.2f   goal %5.2f   %s\n", k, m, g[k], verdict
      } else {
        printf "  %-20s %6.2f   (no goal)\n", k, m
      }
    }
    printf "  %d ratio(s) miss their goal\n", misses
  }' "$results" | tee -a "$out"

# The server's requests of one repaint, skinned and plain: the benchmarks run
# once more with --requests under a server that logs every request, and mark
# the log around the repaint they count.
echo "=== Wine server requests of one repaint ($target)"
log="$build/bench.requests.log"
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
(pinned wineserver -f -p -d1 </dev/null >/dev/null 2>"$log" &)
for i in $(seq 1 50); do [ -n "$(our_wineserver)" ] && break; sleep 0.1; done
pinned wine "$build/bench/repaint_bench.exe" --requests >/dev/null 2>&1 || true
pinned wine "$build/bench/frame_bench.exe" --requests >/dev/null 2>&1 || true
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
awk '
  match($0, /add_atom\( name=L"bench-mark [^ ]+ (begin|end)"/) {
    split(substr($0, RSTART, RLENGTH), w, /[ "]/)
    key = w[4]; edge = w[5]; tid = substr($1, 1, length($1) - 1)
    if (edge == "begin") { open[tid] = key; count[key] = 0; if (!(key in seen)) { seen[key] = 1; keys[++n] = key } }
    else delete open[tid]
    next
  }
  {
    tid = substr($1, 1, length($1) - 1)
    if ((tid in open) && $2 ~ /^[a-z_0-9]+\(/ && index($0, ") = ") == 0) {
      name = $2; sub(/\(.*/, "", name)
      count[open[tid]]++; by[open[tid] "|" name]++
    }
  }
  END {
    misses = 0
    for (i = 1; i <= n; i++) {
      k = keys[i]
      if (k !~ /\.skinned$/) continue
      base = k; sub(/\.skinned$/, "", base); p = base ".plain"
      # A caption change is no repaint: its count is told, not judged.
      if (base ~ /caption$/) verdict = "(no goal)"
      else if (count[k] <= count[p]) verdict = "ok"
      else { verdict = "MISSES its goal (no more than plain)"; misses++ }
      printf "  %-20s skinned %6d   plain %6d   %s\n", base, count[k], count[p], verdict
      detail = ""
      for (e in by) {
        split(e, kn, "|")
        if (kn[1] == k || kn[1] == p) {
          s = by[k "|" kn[2]] + 0; q = by[p "|" kn[2]] + 0
          if (s != q && !((kn[2] SUBSEP base) in shown)) { shown[kn[2] SUBSEP base] = 1; detail = detail sprintf("      %-28s skinned %6d   plain %6d\n", kn[2], s, q) }
        }
      }
      printf "%s", detail
    }
    printf "  %d count(s) above the plain ones\n", misses
  }' "$log" | tee -a "$out"
