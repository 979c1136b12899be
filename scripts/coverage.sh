#!/usr/bin/env bash
# Line and branch coverage of the production code by the unit suites: one clang tree with
# source-based coverage (build-coverage), every suite run once, the profiles merged and reported
# by llvm-cov. Not part of make test; run it before and after changing tests to see that their
# reach holds. Usage: scripts/coverage.sh [BUILD] [JOBS]
set -euo pipefail
build=${1:-build-coverage}
jobs=${2:-$(nproc)}
cd "$(dirname "$0")/.."
bash scripts/setup.sh build test
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
fi
flags="-fprofile-instr-generate -fcoverage-mapping"
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O0" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fuse-ld=lld $flags" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fuse-ld=lld $flags" -DCMAKE_MODULE_LINKER_FLAGS="-fuse-ld=lld $flags" \
  -DTESSOLON_TESTS=ON -DTESSOLON_PROGRAM_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs"

# Every process the suites start (the program and its modules included) writes its own profile.
profiles="$build/profiles"
rm -rf "$profiles"
mkdir -p "$profiles"
LLVM_PROFILE_FILE="$PWD/$profiles/%p-%m.profraw" ctest --test-dir "$build" --timeout 600 -j "$jobs" \
  --output-on-failure || echo "coverage: some tests failed; the figures count what ran" >&2
llvm-profdata merge -sparse "$profiles"/*.profraw -o "$build/tessolon.profdata"

# The objects: the suites, the program and its two modules.
objects=()
while IFS= read -r file; do
  objects+=(-object "$file")
done < <(find "$build" -type f \( -name '*_tests' -o -name tessolon -o -name 'tessolon-*.so' \) -perm -u+x)
# The tests, benches, tools, generated sources and system headers are left out. With ccache's
# base folder the objects name sources relative to the build folder (../table/...).
ignore="(^|/)\.\./(tests|bench|tools)/|^$PWD/(tests|bench|tools)/|_autogen/|/\.rcc/|^/usr/"
llvm-cov report "${objects[@]:1}" -instr-profile="$build/tessolon.profdata" \
  -ignore-filename-regex="$ignore" 2>/dev/null >"$build/coverage.txt"
tail -n 1 "$build/coverage.txt" | awk '{
  printf "Production code: lines %s covered (%d of %d), branches %s covered (%d of %d)\n",
    $10, $8 - $9, $8, $13, $11 - $12, $11 }'
echo "Per file: $build/coverage.txt"
