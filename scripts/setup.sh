#!/usr/bin/env bash
# Installs the Debian packages of the named lists that are missing: scripts/setup.sh build
# (building and running) or scripts/setup.sh build test (the tests as well). Idempotent: when
# all are present it only asks dpkg and returns. With the tests it also makes the th_TH.UTF-8
# locale they run the program in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[[ $# -gt 0 ]] || set -- build
wanted=()
for list in "$@"; do
  file="$here/packages-$list.txt"
  [[ -f $file ]] || { echo "setup: no package list $file" >&2; exit 2; }
  mapfile -t -O "${#wanted[@]}" wanted < <(grep -v -E '^\s*(#|$)' "$file")
done
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
  $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests run the program in Thai, which needs the locale compiled (a fresh Debian has none).
if [[ " $* " == *" test "* ]] && ! locale -a 2>/dev/null | grep -qix 'th_TH\.utf-\?8'; then
  echo "setup: making the th_TH.UTF-8 locale"
  $sudo localedef -i th_TH -c -f UTF-8 th_TH.UTF-8
fi
