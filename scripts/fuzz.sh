#!/usr/bin/env bash
# Builds libFuzzer targets with clang and runs each for a number of seconds, JOBS at a time.
# Usage: scripts/fuzz.sh TARGET|all [SECONDS] [JOBS]   (targets: tests/*/fuzz/*.cpp, e.g. table_fuzz)
# FUZZ_BUILD names the build folder (build-fuzz); one already configured with TESSOLON_FUZZ, as
# make test's sanitized tree is, is used as it stands.
set -euo pipefail
target=${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS] [JOBS]}
seconds=${2:-60}
jobs=${3:-1}
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD:-build-fuzz}

if [[ $target == all ]]; then
  targets=$(find tests -path '*/fuzz/*.cpp' -exec basename {} .cpp \; | sort)
else
  targets=$target
fi

if ! grep -qs '^TESSOLON_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DTESSOLON_TESTS=ON -DTESSOLON_SANITIZE=ON -DTESSOLON_FUZZ=ON "${launcher[@]}" >/dev/null
fi
# shellcheck disable=SC2086 # one word per target
cmake --build "$build" --target $targets

# Runs one target over its seeds; its log is printed only when it finds a fault.
fuzz() {
  local target=$1 binary seeds corpus
  binary=$(find "$build/tests" -type f -name "$target" -perm -u+x | head -n 1)
  seeds=$(dirname "$(find tests -path "*/fuzz/$target.cpp" | head -n 1)")/seeds/$target
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  [[ -d "$seeds" ]] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$binary" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" -print_final_stats=1 "$corpus" 2>"$build/$target.log"; then
    echo "== $target found a fault"
    tail -n 60 "$build/$target.log"
    return 1
  fi
  echo "== $target, ${seconds}s: $(grep -E '^stat::number_of_executed_units' "$build/$target.log")"
}

pids=()
status=0
for target in $targets; do
  fuzz "$target" &
  pids+=($!)
  if ((${#pids[@]} >= jobs)); then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
