#!/usr/bin/env bash
# Frames under a fade of 0 are drawn without the shadow, scene and bloom
# passes: the pictures must be exactly those of a render through every pass,
# frame by frame, over stretches that cross the first fade-out and cut (and
# the fade-in after it) and the last fade-out into the credits. Identical
# frames after the black ones also show that the particles, lights and the
# timeline went on exactly as before.
source "$(dirname "$0")/capture_lib.sh"
stage

# Every frame of the two stretches, at 30 frames a second.
times="$(awk 'BEGIN {
  for (f = 717; f <= 780; f++) printf "%s%.4f", (n++ ? "," : ""), f / 30
  for (f = 2820; f <= 2880; f++) printf ",%.4f", f / 30 }')"
options=(--fps 30 --size 128x75 --at "$times")
capture "${options[@]}" --out "$out/skipping" || fail "capture exited with $?"
capture "${options[@]}" --every-pass --out "$out/every-pass" || fail "capture with --every-pass exited with $?"

count="$(frame_numbers "$out/skipping" | wc -l)"
[ "$count" -gt 120 ] || fail "only $count frames were captured"
black=0
for frame in "$out/skipping"/frame-*.png; do
  name="$(basename "$frame")"
  n="$(differing_pixels "$frame" "$out/every-pass/$name")"
  [ "$n" = 0 ] || fail "$name differs from the render through every pass in $n pixels"
  mean="$(convert "$frame" -format '%[fx:maxima]' info:)"
  awk -v m="$mean" 'BEGIN { exit !(m == 0) }' && black=$((black + 1))
done
# The stretches must hold black frames (the cut, the credits' black), and
# pictures around them, for the comparison to mean anything.
[ "$black" -ge 20 ] || fail "only $black of $count frames are black: the stretches miss the fades"
[ "$black" -lt "$count" ] || fail "every frame is black"
echo "passed: $count frames identical, $black of them black"
