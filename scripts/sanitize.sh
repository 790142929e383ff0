#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/, then runs the unit and GL tests and a short off-screen capture
# of the film under them. Any sanitizer report fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-asan"
"$root/scripts/setup.sh" >/dev/null
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
"$build/bin/tolvane-contentgen" "$build/stage"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tools/sanitizers/lsan.supp"
export SDL_AUDIODRIVER=dummy
screen=("$root/scripts/with-screen.sh")
[ -n "${DISPLAY:-}" ] && screen=()

cd "$build"
"${screen[@]}" ctest -L "unit|gl" -j 2 --output-on-failure
if [ -x "$build/bin/tolvane-capture" ]; then
  film="$(mktemp -d)"
  (cd "$build/stage/Tolvane" && "${screen[@]}" "$build/bin/tolvane-capture" --from 2 --to 4 --size 256x150 \
    --out "$film" > "$film/console.log" 2>&1) || { tail -n 60 "$film/console.log"; exit 1; }
  ! grep -qE "runtime error|ERROR: (Address|Leak)Sanitizer" "$film/console.log" || { cat "$film/console.log"; exit 1; }
  echo "capture under the sanitizers: $(ls "$film" | grep -c png) frames, clean"
  rm -rf "$film"
fi
