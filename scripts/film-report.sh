#!/bin/sh
# Captures the film at 512x300, two frames a second (the whole film drawn
# would take about ten minutes of CPU on a software renderer), and prints the
# mean luminance (Rec. 709 luma of the sRGB picture, 0..255) of each second,
# the median over the flight, and every stretch darker than 12/255.
#
#   scripts/film-report.sh [BUILD_DIR] [FRAMES_DIR]
#
# BUILD_DIR defaults to build/, FRAMES_DIR to BUILD_DIR/film-report (the PNGs
# stay there to be looked at). Needs ffprobe (ffmpeg) and ImageMagick.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
frames=${2:-$build/film-report}
run_dir=$build/stage/Tolvane
music=$build/stage/Music/DanceWithDragon_160kbts.mp3
dark=12

for tool in ffprobe convert; do
  command -v "$tool" >/dev/null || { echo "film-report: $tool is missing (Debian: ffmpeg, imagemagick)" >&2; exit 2; }
done

# The timeline starts 2 s in and takes one step per frame at the capture's
# the film's pace, 30 steps a second: the music and each element of the
# camera paths, one step per path switch; the credits come with the final
# step.
fps=30
elements=$(cat "$run_dir"/campath[1-4].xml | grep -c '<\(spline_position\|fade_in\|fade_out\|fire_on\|fire_off\|credits\)')
credits=$(awk -v n="$elements" -v f="$fps" 'BEGIN { print 2 + (n + 5) / f }')
music_seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$music")
end=$(awk -v m="$music_seconds" 'BEGIN { print 2 + m + 1 }')

times=$(awk -v end="$end" 'BEGIN { s = ""; for (t = 0.25; t < end; t += 0.5) s = s (s == "" ? "" : ",") t; print s }')
rm -rf "$frames"
mkdir -p "$frames"
echo "Capturing $(echo "$times" | tr ',' '\n' | wc -l) frames up to ${end%.*} s (credits at $(printf '%.1f' "$credits") s) ..."
(cd "$run_dir" && timeout 3600 nice -n 5 "$root/scripts/with-screen.sh" \
  "$build/bin/tolvane-capture" --size 512x300 --fps "$fps" --quiet --at "$times" --out "$frames" >"$frames/capture.log" 2>&1) || {
  echo "film-report: the capture failed, see $frames/capture.log" >&2
  exit 1
}

for png in "$frames"/frame-*.png; do
  n=${png##*frame-}
  n=${n%.png}
  printf '%s %s\n' "$(awk -v n="$n" -v f="$fps" 'BEGIN { print n / f }')" \
    "$(convert "$png" -grayscale Rec709Luma -format '%[fx:255*mean]' info:)"
done >"$frames/luminance.txt"

awk -v credits="$credits" '
  {
    t = $1; y = $2
    second = int(t); sum[second] += y; count[second]++
    if (second > lastSecond) lastSecond = second
    if (t > 2.5 && t < credits) flight[n++] = y
  }
  END {
    print "second  luminance"
    for (s = 0; s <= lastSecond; s++) if (count[s]) printf "%6d  %6.1f\n", s, sum[s] / count[s]
    for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (flight[j] < flight[i]) { x = flight[i]; flight[i] = flight[j]; flight[j] = x }
    printf "Flight (2.5 s to the credits at %.1f s): median %.1f/255, darkest %.1f, brightest %.1f\n",
      credits, (flight[int((n - 1) / 2)] + flight[int(n / 2)]) / 2, flight[0], flight[n - 1]
  }' "$frames/luminance.txt" >"$frames/report.txt"

echo "Stretches under $dark/255 (the fades at the start, at each cut and under the credits count too):"
awk -v dark="$dark" '
  function flush() { if (run > 0) printf "  %.2f-%.2f s (%.1f s)\n", first - 0.25, last + 0.25, run * 0.5; run = 0 }
  { if ($2 < dark) { if (run == 0) first = $1; last = $1; run++ } else flush() }
  END { flush() }' "$frames/luminance.txt"
cat "$frames/report.txt"
echo "Frames and figures: $frames"
