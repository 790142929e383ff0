#!/usr/bin/env bash
# Installs the Debian packages Tolvane needs (only the missing ones), builds
# the program, its tools and tests, and generates the run-time content.
# Safe to run again: every step skips what is already done.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

missing=()
while read -r package; do
  [ -z "$package" ] && continue
  [[ "$package" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done < scripts/packages.txt

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
# TOLVANE_WERROR=ON (as CI sets it) makes every compiler warning an error.
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${TOLVANE_BUILD_TYPE:-RelWithDebInfo}" \
  -DTOLVANE_WERROR="${TOLVANE_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

if [ -x "$build_dir/bin/tolvane-contentgen" ]; then
  "$build_dir/bin/tolvane-contentgen" "$build_dir/stage"
fi
