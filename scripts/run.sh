#!/usr/bin/env bash
# Starts the program in the repository root, where data/ holds the pest table.
set -euo pipefail
program=$1
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "tessolon: no display (DISPLAY and WAYLAND_DISPLAY are unset); the headless commands still work: $program --help" >&2
  exit 1
fi
cd "$(dirname "$0")/.."
exec "$program"
