#!/usr/bin/env bash
# Builds everything twice more and runs the tests under the sanitizers:
#   build-asan/  AddressSanitizer, UndefinedBehaviorSanitizer and
#                LeakSanitizer: the unit and GL tests and a 2 s capture;
#   build-tsan/  ThreadSanitizer: the tests of the texture decode worker and
#                a capture's start-up, where it decodes beside the import.
# Any sanitizer report fails the run. Suppressions, third-party only, are in
# tools/sanitizers/. Usage: scripts/sanitize.sh [asan|tsan] (default both).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
which="${1:-both}"
"$root/scripts/setup.sh" >/dev/null
export SDL_AUDIODRIVER=dummy
screen=("$root/scripts/with-screen.sh")
[ -n "${DISPLAY:-}" ] && screen=()

build() {  # build DIR CMAKE-OPTION
  cmake -S "$root" -B "$1" -DCMAKE_BUILD_TYPE=Debug "$2" >/dev/null
  cmake --build "$1" -j "$(nproc)"
  "$1/bin/tolvane-contentgen" "$1/stage" >/dev/null
}

# capture DIR SECONDS: a short capture under the sanitizer; its console must
# hold no report.
capture() {
  local film
  film="$(mktemp -d)"
  (cd "$1/stage/Tolvane" && "${screen[@]}" "$1/bin/tolvane-capture" --from 2 --to "$2" --size 256x150 \
    --out "$film" > "$film/console.log" 2>&1) || { tail -n 60 "$film/console.log"; exit 1; }
  ! grep -qE "runtime error|ERROR: (Address|Leak)Sanitizer|WARNING: ThreadSanitizer" "$film/console.log" \
    || { cat "$film/console.log"; exit 1; }
  echo "capture under the sanitizer: $(ls "$film" | grep -c png) frames, clean"
  rm -rf "$film"
}

if [ "$which" = both ] || [ "$which" = asan ]; then
  build "$root/build-asan" -DTOLVANE_SANITIZE=ON
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$root/tools/sanitizers/lsan.supp"
  (cd "$root/build-asan" && "${screen[@]}" ctest -L "unit|gl" -E "tidy|format" -j 2 --output-on-failure)
  capture "$root/build-asan" 4
fi

if [ "$which" = both ] || [ "$which" = tsan ]; then
  build "$root/build-tsan" -DTOLVANE_TSAN=ON
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tools/sanitizers/tsan.supp"
  (cd "$root/build-tsan" && "${screen[@]}" ctest -R "TextureImage|Prefetch|ModelLoader|SceneAssembly" -j 2 \
    --output-on-failure)
  capture "$root/build-tsan" 2.1
fi
