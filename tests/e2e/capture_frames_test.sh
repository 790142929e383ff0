#!/usr/bin/env bash
# Which frames a capture keeps: all of a stretch at a given rate, then every
# Nth of a later stretch, named by their frame number at that rate.
source "$(dirname "$0")/capture_lib.sh"
stage

capture --fps 25 --from 0 --to 2 --size 128x75 --out "$out/all" || fail "capture of 2 s exited with $?"
[ "$(frame_numbers "$out/all" | wc -l)" = 50 ] || fail "25 fps x 2 s wrote $(frame_numbers "$out/all" | wc -l) frames, expected 50"
[ "$(frame_numbers "$out/all" | head -n 1)" = 0 ] || fail "the first frame is not frame 0"
[ "$(frame_numbers "$out/all" | tail -n 1)" = 49 ] || fail "the last frame is not frame 49"
[ "$(picture_size "$out/all/frame-000049.png")" = 128x75 ] || fail "frames are not 128x75"
grep -q "Frames: 50 in" "$log" || fail "no summary line for the frames"

capture --fps 25 --from 1 --to 2.1 --every 5 --size 128x75 --out "$out/some" || fail "capture with --every exited with $?"
expected="25 30 35 40 45 50"
[ "$(frame_numbers "$out/some" | tr '\n' ' ' | sed 's/ $//')" = "$expected" ] \
  || fail "--from 1 --to 2.1 --every 5 kept frames $(frame_numbers "$out/some" | tr '\n' ' '), expected $expected"
capture --fps 25 --at 1.2,0.4 --size 128x75 --out "$out/chosen" || fail "capture with --at exited with $?"
[ "$(frame_numbers "$out/chosen" | tr '\n' ' ')" = "10 30 " ] \
  || fail "--at 1.2,0.4 kept frames $(frame_numbers "$out/chosen" | tr '\n' ' '), expected 10 30"
no_gl_errors || fail "OpenGL errors were printed"
echo "passed"
