#!/usr/bin/env bash
# Builds the program and runs the tests that use it as users do (real sound servers, LibreOffice
# Calc, install, package, X11 and Wayland) uninstrumented; then every folder's suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, the audio, sound and sweep suites under
# ThreadSanitizer, and every libFuzzer target for a few seconds.
set -euo pipefail
build=${1:-build}
jobs=${2:-2}
cd "$(dirname "$0")/.."
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen

# Each phase's wall-clock time, printed as it ends and again together at the end.
timings=()
phase_start=$SECONDS
phase() {
  local now=$SECONDS
  [[ -n ${phase_name:-} ]] && timings+=("$(printf '%5d s  %s' $((now - phase_start)) "$phase_name")")
  phase_name=$1
  phase_start=$now
  [[ -n $phase_name ]] && echo "== $phase_name"
  return 0
}
# Tests left running in the background (see below, a process group of their own) end with the
# script.
program_tests=
trap '[[ -n $program_tests ]] && kill -- -$program_tests 2>/dev/null; phase ""; printf "%s\n" "== Phase times" "${timings[@]}"' EXIT
# Formatting first: it takes a second and says at once which files differ from .clang-format.
phase "Formatting (clang-format --dry-run)"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h'
else
  find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
fi | xargs -0 clang-format --dry-run --Werror

# With ccache, a second run on the same machine recompiles only what changed, in this checkout or
# in a fresh clone (CI clones for every submission). Sources compiled with a precompiled header
# are cached only with these sloppiness settings (see ccache's manual). With debug information
# ccache also hashes the build folder, which differs in every clone; the only cost of leaving it
# out is that a cached object's debug information names the folder it was first compiled in.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
  export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

# Line tables (-g1) are all a failing test's or a sanitizer's stack needs; full debug information
# takes about a third of the compiler's time on the Qt and GoogleTest sources.
# The clang trees link with lld: a sanitized suite links in about a fifth of the time GNU ld
# takes. The program's own tree keeps the system's linker, the one its package is built with.
lld=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
  -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld)
phase "Build: the program, its module, benches and the tests of the program as users run it (RelWithDebInfo)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSOLON_TESTS=ON -DTESSOLON_BENCH=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DTESSOLON_UNIT_TESTS=OFF -DTESSOLON_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs"

# The program's tests (real sound servers, LibreOffice Calc, then the desktops: Xvfb, weston,
# sway with waybar) mostly wait on those programs, about a quarter of two cores; they run while
# the sanitized tree builds, and their output is shown once both have ended. Like every test
# here they must hold on a busy machine.
phase "Build with AddressSanitizer and UndefinedBehaviorSanitizer (clang; suites and fuzz targets), beside the program's tests"
program_log=$(mktemp)
set -m
(
  start=$SECONDS
  status=0
  ctest --test-dir "$build" --output-on-failure --timeout 300 -j "$jobs" -LE desktop || status=1
  echo "== (real sound servers and LibreOffice Calc: $((SECONDS - start)) s)"
  start=$SECONDS
  ctest --test-dir "$build" --output-on-failure --timeout 300 -L desktop || status=1
  echo "== (desktops: $((SECONDS - start)) s)"
  exit $status
) >"$program_log" 2>&1 &
program_tests=$!
set +m

# Every folder's suite runs here, once: clang, unoptimised, which compiles in about half the time
# GCC takes at -O1 and keeps the sanitizers' stacks exact. The same tree, with libFuzzer's
# coverage in the Qt-free libraries, links the fuzz targets. The program's own tests run
# uninstrumented: the sound servers' and LibreOffice's libraries are not instrumented.
cmake -S . -B "$build-sanitize" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O0" -DTESSOLON_SANITIZE=ON -DTESSOLON_FUZZ=ON \
  -DTESSOLON_TESTS=ON -DTESSOLON_PROGRAM_TESTS=OFF -DTESSOLON_WERROR=ON "${lld[@]}" "${launcher[@]}" \
  >/dev/null
cmake --build "$build-sanitize" -j "$jobs"
phase "Tests of the program as users run it (ran beside the build above; waiting for the rest)"
program_status=0
wait $program_tests || program_status=$?
program_tests=
cat "$program_log"
rm -f "$program_log"
((program_status == 0)) || { echo "The program's tests failed" >&2; exit 1; }
phase "Tests with AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$build-sanitize" --output-on-failure --timeout 600 -j "$jobs"

# The audio callback runs on SDL's thread against the calling thread; the headless sweep's
# tests run it on a thread and stop it with a signal. The long sweep measures memory, and the
# tests that measure what every shipped profile carries into hearing compute on one thread: the
# race checker only slows them down (they run in the sanitized suite above). This tree builds no
# catalogs, so the test of the service log in Thai runs only there too.
phase "Build with ThreadSanitizer (audio, sound, sweep)"
cmake -S . -B "$build-tsan" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O0" -DTESSOLON_THREAD_SANITIZE=ON \
  -DTESSOLON_QT_FREE_ONLY=ON -DTESSOLON_TESTS=ON -DTESSOLON_PROGRAM_TESTS=OFF -DTESSOLON_WERROR=ON \
  "${lld[@]}" "${launcher[@]}" >/dev/null
cmake --build "$build-tsan" -j "$jobs" --target platform_audio_tests sound_tests sweep_tests
phase "Tests with ThreadSanitizer"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$build-tsan" --output-on-failure --timeout 600 -j "$jobs" \
  -R '^(platform_audio_tests|sound_tests|sweep_tests)\.' \
  -E '^sweep_tests\.(LongSweep\.|ShippedPestTable\.|SweepCommandTest\.Profiles|ShippedSweep\.UltrasoundOnlyPuts|SweepService\.TheServiceLogIsInTheUsersLanguage)'

phase "Fuzzing (libFuzzer, $build-sanitize)"
FUZZ_BUILD="$build-sanitize" bash scripts/fuzz.sh all 5 "$jobs"
