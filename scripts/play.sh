#!/usr/bin/env bash
# Plays the built demo from its run directory. With no display it runs the
# demo on a virtual screen for a few seconds and keeps a screenshot.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
run_dir="$build_dir/stage/Tolvane"
program="$build_dir/bin/tolvane"
cd "$run_dir"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

seconds="${TOLVANE_PREVIEW_SECONDS:-8}"
shot="$build_dir/screenshot.png"
echo "No display found: running the demo on a virtual screen for ${seconds} s and saving a screenshot."
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" & pid=$!
  sleep "$2"
  import -window root -crop 1024x600+0+0 "$3" 2>/dev/null || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
' _ "$program" "$seconds" "$shot"
echo "Screenshot: $shot"
