#!/usr/bin/env bash
# Rebuilds the shipped pest table data/para.dbf and data/idx.ndx with our own table engine,
# checks the index against the table and lists the profiles.
# Usage: scripts/make-pest-table.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target make-pest-table tessolon
"$build/tools/make-pest-table" data
"$build/tessolon" table data/para.dbf index data/idx.ndx verify
"$build/tessolon" profiles
