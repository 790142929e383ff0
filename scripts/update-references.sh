#!/bin/sh
# Regenerates the reference pictures under tests/references/ by running the
# GL tests with TOLVANE_UPDATE_REFERENCES=1 (every picture comparison writes
# its reference instead of comparing), then runs them again as a check. Look at every changed picture
# before committing it: git diff --stat tests/references/
#
#   scripts/update-references.sh [build-directory]   (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
case $build in /*) ;; *) build="$root/$build" ;; esac

cmake --build "$build" --target tolvane_gl_tests -j2
run() {
    if [ -n "${DISPLAY:-}" ]; then "$@"; else "$root/scripts/with-screen.sh" "$@"; fi
}
cd "$build"
TOLVANE_UPDATE_REFERENCES=1 run ctest -L gl --output-on-failure
run ctest -L gl --output-on-failure
git -C "$root" status --short tests/references/
