#!/usr/bin/env bash
# Builds the platform-free core natively with g++ and with clang (-Werror, no
# <windows.h>), then runs the libFuzzer program of each reader (BMP, ZIP, skin
# file) for FUZZ_SECONDS (60) seconds on inputs up to 1 MB, starting from the
# built-in skins' files, and reports any crash, leak, timeout or out-of-memory.
# Not run by CI.
#   scripts/fuzz.sh [bmp|zip|skinfile ...]
# Findings are written to $SKIN_BUILD_ROOT/fuzz/findings/ (replay one with
# $SKIN_BUILD_ROOT/fuzz/gcc/fuzz_<reader> FILE); the corpora stay beside them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=${SKIN_BUILD_ROOT:-$here/build}
out="$root/fuzz"
seconds=${FUZZ_SECONDS:-60}
readers=("$@")
((${#readers[@]})) || readers=(bmp zip skinfile)

bash "$here/scripts/setup.sh" cmake make g++ clang libclang-rt-14-dev zlib1g-dev

build() {  # build DIR COMPILER [cmake args...]
  local dir=$1 cxx=$2; shift 2
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$here/fuzz" -B "$dir" -DCMAKE_CXX_COMPILER="$cxx" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)" >/dev/null
}
echo "fuzz: native build with g++"
build "$out/gcc" g++
echo "fuzz: native build with clang and libFuzzer"
build "$out/clang" clang++ -DSKIN_FUZZ=ON

# Seeds: the built-in skins as the generator draws them.
seeds="$out/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
"$out/gcc/skingen" "$seeds"
seed_files() {
  case $1 in
    bmp) ls "$seeds"/*/*.bmp ;;
    zip) ls "$seeds"/*.asz ;;
    skinfile) ls "$seeds"/*/Options.dat ;;
  esac
}

mkdir -p "$out/findings"
status=0
results=()
for r in "${readers[@]}"; do
  corpus="$out/corpus/$r"
  mkdir -p "$corpus"
  seed_files "$r" | while read -r f; do cp "$f" "$corpus/seed-$(basename "$(dirname "$f")")-$(basename "$f")"; done
  log="$out/$r.log"
  echo "fuzz: $r for ${seconds}s (log $log)"
  rc=0
  # Leaks are checked after each input, the slowest input may take 10 s and
  # the process 2 GB; inputs may grow to 1 MB from the start (-len_control=0)
  # rather than creeping up from the seeds' sizes.
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$out/clang/fuzz_$r" -max_len=1048576 -len_control=0 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$out/findings/$r-" "$corpus" >"$log" 2>&1 || rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if ((rc == 0)); then
    finding="none"
  elif grep -q 'ERROR: LeakSanitizer' "$log"; then finding="leak"
  elif grep -q 'ERROR: libFuzzer: timeout' "$log"; then finding="timeout"
  elif grep -q 'out-of-memory' "$log"; then finding="out-of-memory"
  else finding="crash: $(grep -m1 -E 'ERROR: AddressSanitizer|runtime error:|ERROR: libFuzzer' "$log" | sed 's/^==[0-9]*==//')"
  fi
  [ "$finding" = none ] || status=1
  artifact=$(grep -o "Test unit written to .*" "$log" | sed 's/Test unit written to //' || true)
  results+=("$r: ${runs:-?} inputs, finding: $finding${artifact:+ ($artifact)}")
done

echo "=== fuzz summary (${seconds}s each, inputs up to 1 MB)"
printf '%s\n' "${results[@]}"
exit $status
