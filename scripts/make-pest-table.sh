#!/usr/bin/env bash
# Rebuilds the shipped pest table data/para.dbf and data/idx.ndx with our own table engine,
# checks the index against the table and lists the profiles.
# Usage: scripts/make-pest-table.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tessolon_table tessolon
c++ -std=c++20 -O1 -I. scripts/make-pest-table.cpp "$build/table/libtessolon_table.a" \
  "$build/platform/data/libtessolon_platform_data.a" \
  "$build/platform/core/libtessolon_platform_core.a" -o "$build/make-pest-table"
"$build/make-pest-table" data
"$build/tessolon" table data/para.dbf index data/idx.ndx verify
"$build/tessolon" profiles
