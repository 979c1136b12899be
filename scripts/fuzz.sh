#!/usr/bin/env bash
# Builds one libFuzzer target with clang in build-fuzz and runs it for a number of seconds.
# Usage: scripts/fuzz.sh TARGET [SECONDS]   (targets: tests/*/fuzz/*.cpp, e.g. table_fuzz)
set -euo pipefail
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSOLON_QT_FREE_ONLY=ON -DTESSOLON_BENCH=OFF -DTESSOLON_SANITIZE=ON -DTESSOLON_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$build" --target "$target"

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
