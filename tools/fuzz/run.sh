#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# while over its corpus. Crashing inputs are kept in the corpus afterwards as
# regression cases. Usage: tools/fuzz/run.sh [seconds per target] [build dir]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
seconds="${1:-10}"
out="${2:-$root/build/fuzz}"
mkdir -p "$out"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"

flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/src" -DGLM_FORCE_CTOR_INIT)
# The readers need nothing but the console log: no GL, no window, no demo.
common=("$root/src/base/Diagnostics.cpp")

build() {
  local name="$1"; shift
  clang++ "${flags[@]}" "$here/$name.cpp" "$@" "${common[@]}" -o "$out/$name"
}
build ConfigFuzzer "$root/src/app/Config.cpp"
build CameraPathFuzzer "$root/src/scene/CameraPath.cpp" -ltinyxml2

run() {
  local name="$1" corpus="$2" work
  work="$(mktemp -d)"
  cp "$corpus"/* "$work/" 2>/dev/null || true
  # The targets print what they read; only the fuzzer's verdict matters here.
  "$out/$name" -max_total_time="$seconds" -max_len=65536 -artifact_prefix="$out/$name-" \
    "$work" > "$out/$name.log" 2>&1 || { tail -n 40 "$out/$name.log"; rm -rf "$work"; return 1; }
  tail -n 1 "$out/$name.log"
  rm -rf "$work"
}
run ConfigFuzzer "$here/corpus/config"
run CameraPathFuzzer "$here/corpus/campath"
echo "fuzz targets ran clean"
