#!/usr/bin/env bash
# Sets everything up and runs every test. Starts a virtual screen (Xvfb) for
# the tests that need OpenGL when there is no display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
cd "${TOLVANE_BUILD_DIR:-$root/build}"
# SDL may not find a sound card on servers; the dummy driver stands in.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/with-screen.sh" ctest --output-on-failure -j 2 "$@"
fi
exec ctest --output-on-failure -j 2 "$@"
