#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source of src/ with the
# build's compile_commands.json; any finding fails. Usage:
#   scripts/tidy.sh [BUILD_DIR] [FILE...]   (default: build/, every file)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift || true
tidy="${CLANG_TIDY:-clang-tidy}"
[ -f "$build/compile_commands.json" ] || { echo "no compile_commands.json in $build: configure first" >&2; exit 2; }
cd "$root"
if [ "$#" -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files 'src/*.cpp' 2>/dev/null || find src -name '*.cpp')
fi
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
# One file per process, as many at once as there are cores.
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 1 "$tidy" -p "$build" --quiet >"$report" 2>/dev/null || true
if grep -q "error:\|warning:" "$report"; then
  grep "error:\|warning:" "$report" | sed "s#^$root/##" | sort -u
  exit 1
fi
echo "${#files[@]} files pass clang-tidy"
