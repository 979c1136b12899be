#!/usr/bin/env bash
# Builds and runs every test, then rebuilds the Qt-free layers with sanitizers and runs theirs.
set -euo pipefail
build=${1:-build}
jobs=${2:-2}
cd "$(dirname "$0")/.."
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSOLON_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure --timeout 300 -j "$jobs"

echo "== Qt-free layers with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B "$build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSOLON_SANITIZE=ON \
  -DTESSOLON_QT_FREE_ONLY=ON -DTESSOLON_WERROR=ON >/dev/null
cmake --build "$build-sanitize" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$build-sanitize" --output-on-failure --timeout 300 -j "$jobs"

echo "== Fuzzing (libFuzzer, clang, build-fuzz)"
FUZZ_BUILD="$build-fuzz" bash scripts/fuzz.sh table_fuzz 30
FUZZ_BUILD="$build-fuzz" bash scripts/fuzz.sh ndx_fuzz 30
