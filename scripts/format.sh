#!/usr/bin/env bash
# Formats every C++ source of the tree with the style in .clang-format.
# --check changes nothing and fails, naming the files, when any would change.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
formatter="${CLANG_FORMAT:-clang-format}"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests tools -name '*.cpp' -o -name '*.h')
if [ "${1:-}" != "--check" ]; then
  exec "$formatter" -i "${files[@]}"
fi
# One run over every file; the formatter names each place it would change.
if ! report="$("$formatter" --dry-run -Werror "${files[@]}" 2>&1)"; then
  echo "not formatted (run scripts/format.sh):"
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/  \1/p' <<<"$report" | sort -u
  exit 1
fi
echo "${#files[@]} files formatted"
