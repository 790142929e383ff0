#!/usr/bin/env bash
# Stopping from outside, as Ctrl+C and `kill` do: the demo ends through its
# orderly release with exit code 0; an interrupted capture ends with 128 +
# the signal and leaves no partial video or contact sheet. The console,
# written to a file, shows each line while the program still runs.
source "$(dirname "$0")/capture_lib.sh"
stage
printf 'width=320\nheight=200\n' > "$run_dir/Config.ini"

for signal in INT TERM; do
  start
  wait_for_window 60 >/dev/null || fail "no window"
  # Printed by the timeline two seconds in; nothing flushes it on its way.
  wait_for_line "Starting with camera 1" 120 || fail "the console file lacks lines while the demo runs"
  kill -0 "$pid" 2>/dev/null || fail "the demo ended on its own"
  kill -s "$signal" "$pid"
  wait_for_exit 30 || fail "SIG$signal did not end the demo"
  [ "$exit_code" = 0 ] || fail "exit code $exit_code after SIG$signal, expected 0"
  no_gl_errors || fail "OpenGL errors were printed"
done

video=()
command -v ffmpeg >/dev/null && video=(--video "$out/film.mp4")
for signal in INT TERM; do
  rm -rf "$out" && mkdir -p "$out"
  (cd "$run_dir" && exec "$capture_program" --quiet --from 2 --to 60 --size 128x75 --out "$out/frames" \
     --sheet "$out/sheet.png" "${video[@]}" </dev/null >"$log" 2>&1) &
  pid=$!
  poll 120 test -e "$out/frames/frame-000102.png" || fail "the capture wrote no frames"
  kill -s "$signal" "$pid"
  wait_for_exit 30 || fail "SIG$signal did not end the capture"
  expected=$((128 + $(kill -l "$signal")))
  [ "$exit_code" = "$expected" ] || fail "capture exit code $exit_code after SIG$signal, expected $expected"
  grep -q "^tolvane-capture: stopped by SIG$signal after [0-9]* frames; the [0-9]* frames in $out/frames are complete" "$log" \
    || fail "no line saying the capture was stopped"
  grep -qE '^(Frames|Video|Contact sheet):' "$log" && fail "a success line was printed"
  left="$(ls "$out")"
  [ "$left" = frames ] || fail "partial outputs left beside the frames: $left"
done
echo "passed"
