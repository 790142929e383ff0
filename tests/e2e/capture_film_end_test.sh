#!/usr/bin/env bash
# Without --to the capture plays until a second after the music has ended,
# so a video ends with its music, and never stops sooner than a few seconds
# after the credits come up; --to still decides when given. Short camera
# paths and a short track keep the film brief. Skipped (passing) without
# ffmpeg, which makes the track.
source "$(dirname "$0")/capture_lib.sh"
command -v ffmpeg >/dev/null || { echo "skipped: ffmpeg is not installed"; exit 0; }
stage
rm "$work/Music"
mkdir "$work/Music"
track="$work/Music/DanceWithDragon_160kbts.mp3"
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=8" -ac 2 -ar 44100 -c:a libmp3lame -b:a 160k "$track" \
  || fail "cannot make a test track"
positions=""
for x in 1 2 3; do positions+="<spline_position x=\"$x\" y=\"1\" z=\"5\" time=\"0\"/>"; done
for n in 1 2 3 4; do
  events="$positions"
  # The fourth path plays from its last element to its first.
  [ "$n" = 4 ] && events="<credits/>$positions"
  echo "<spline_editor><spline><spline_point_array>$events</spline_point_array></spline></spline_editor>" \
    >"$run_dir/campath$n.xml"
done

last_frame() {
  rm -rf "$out/frames"
  capture --fps 10 --size 64x38 --out "$out/frames" "$@" || fail "capture $* exited with $?"
  frame_numbers "$out/frames" | tail -n 1
}

# At 10 fps the timeline starts the music in frame 20 and steps once a
# frame: the credits come at frame 37, long before the 8 s track ends.
# The end is then frame 20 + (8 + 1) x 10 = 110 (the encoder pads the track
# by a few hundredths of a second).
last="$(last_frame)"
[ "$last" -ge 109 ] && [ "$last" -le 111 ] || fail "the film ended after frame $last, expected 109 (music + 1 s)"

last="$(last_frame --to 5)"
[ "$last" = 49 ] || fail "with --to 5 the film ended after frame $last, expected 49"

# Without music the credits stand for 4 s: frame 37 + 1 + 40.
rm "$track"
last="$(last_frame)"
[ "$last" -ge 76 ] && [ "$last" -le 78 ] || fail "without music the film ended after frame $last, expected 77"
echo "passed"
