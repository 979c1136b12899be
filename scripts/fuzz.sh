#!/usr/bin/env bash
# Builds libFuzzer targets with clang in build-fuzz and runs each for a number of seconds.
# Usage: scripts/fuzz.sh TARGET|all [SECONDS]   (targets: tests/*/fuzz/*.cpp, e.g. table_fuzz)
set -euo pipefail
target=${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS]}
seconds=${2:-60}
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD:-build-fuzz}

if [[ $target == all ]]; then
  targets=$(find tests -path '*/fuzz/*.cpp' -exec basename {} .cpp \; | sort)
else
  targets=$target
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSOLON_TESTS=ON -DTESSOLON_SANITIZE=ON -DTESSOLON_FUZZ=ON "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  >/dev/null
# shellcheck disable=SC2086 # one word per target
cmake --build "$build" --target $targets

for target in $targets; do
  binary=$(find "$build/tests" -type f -name "$target" -perm -u+x | head -n 1)
  seeds=$(dirname "$(find tests -path "*/fuzz/$target.cpp" | head -n 1)")/seeds/$target
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  [[ -d "$seeds" ]] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  echo "== fuzzing $target for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$binary" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" -print_final_stats=1 "$corpus" 2>"$build/$target.log" \
    || { tail -n 60 "$build/$target.log"; exit 1; }
  grep -E "^(Done|stat::number_of_executed_units)" "$build/$target.log" || true
done
