#!/usr/bin/env bash
# Plays the built demo from its run directory. With no display it renders
# the whole film off-screen instead, with tolvane-capture on a virtual
# screen, and says where the film went: a video with the music when ffmpeg is
# installed, PNG frames and a contact sheet when it is not.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
run_dir="$build_dir/stage/Tolvane"
program="$build_dir/bin/tolvane"
capture="$build_dir/bin/tolvane-capture"
cd "$run_dir"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

film_dir="${TOLVANE_FILM_DIR:-$build_dir/film}"
mkdir -p "$film_dir"
# Capture options. Without a display the frames are drawn by a software
# renderer, so the default film is 512x300 (about a quarter of the time of
# the full 1024x600); TOLVANE_FILM_OPTIONS="--size 1024x600" gives full size.
read -r -a extra <<<"${TOLVANE_FILM_OPTIONS:---size 512x300}"
sheet="$film_dir/contact-sheet.png"
if command -v ffmpeg >/dev/null; then
  outputs=(--video "$film_dir/tolvane.mp4" --sheet "$sheet")
else
  outputs=(--out "$film_dir/frames" --sheet "$sheet")
fi
echo "No display found: rendering the film off-screen into $film_dir instead (slow on a software renderer; the demo's console goes to $film_dir/console.log)."
"$root/scripts/with-screen.sh" "$capture" "${outputs[@]}" "${extra[@]}" >"$film_dir/console.log"
if command -v ffmpeg >/dev/null; then
  echo "Film: $film_dir/tolvane.mp4"
else
  echo "ffmpeg is not installed, so the film is a series of frames: $film_dir/frames/frame-NNNNNN.png (50 per second)"
fi
echo "Contact sheet: $sheet"
