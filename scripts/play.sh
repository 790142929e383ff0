#!/usr/bin/env bash
# Plays the built demo from its run directory. With no display it renders
# the whole film off-screen instead with tolvane-capture, through EGL with no
# X server (on the graphics card when there is one, else Mesa's software
# renderer; a virtual X screen only when EGL cannot draw at all), and says
# where the film went: a video with the music when ffmpeg is installed, PNG
# frames and a contact sheet when it is not.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
run_dir="$build_dir/stage/Tolvane"
program="$build_dir/bin/tolvane"
capture="$build_dir/bin/tolvane-capture"
cd "$run_dir"

# A Wayland session or an X server: the demo opens its window there.
if [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

film_dir="${TOLVANE_FILM_DIR:-$build_dir/film}"
mkdir -p "$film_dir"
# What EGL would draw with decides the default size: full HD on a graphics
# card, the demo's own 1024x600 on a software renderer (where the capture
# also draws 30 frames a second instead of 60). TOLVANE_FILM_OPTIONS="--size
# 512x300" overrides it.
launcher=()
if devices="$("$capture" --list-devices 2>&1)"; then
  device="$(sed -n 's/^Chosen: //p' <<<"$devices")"
  renderer="$(sed -n 's/^GL_RENDERER: //p' <<<"$devices")"
  size=1024x600 pace="about ten minutes on a software renderer"
  if [[ "$device" == "EGL hardware"* ]]; then size=1920x1080 pace="drawn by the graphics card"; fi
  how="through $device ($renderer)"
else
  launcher=("$root/scripts/with-screen.sh")
  size=1024x600 pace="about ten minutes on a software renderer"
  how="on a virtual X screen, since EGL cannot draw here: ${devices##*$'\n'}"
fi
read -r -a extra <<<"${TOLVANE_FILM_OPTIONS:---size $size}"
sheet="$film_dir/contact-sheet.png"
if command -v ffmpeg >/dev/null; then
  outputs=(--video "$film_dir/tolvane.mp4" --sheet "$sheet")
else
  outputs=(--out "$film_dir/frames" --sheet "$sheet")
fi
echo "No display found: rendering the film off-screen $how into $film_dir instead ($pace; the demo's console goes to $film_dir/console.log)."
"${launcher[@]}" "$capture" "${outputs[@]}" "${extra[@]}" >"$film_dir/console.log"
if command -v ffmpeg >/dev/null; then
  echo "Film: $film_dir/tolvane.mp4"
else
  echo "ffmpeg is not installed, so the film is a series of frames: $film_dir/frames/frame-NNNNNN.png (the console names the rate)"
fi
echo "Contact sheet: $sheet"
