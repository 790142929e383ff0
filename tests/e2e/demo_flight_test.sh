#!/usr/bin/env bash
# The whole demo in its staged directory with the generated content: console
# sequence, loading screen, fade-in, the fire pit without and with P (the
# camera held before it), the frame counter, music written by SDL's disk
# audio driver, and a clean exit.
source "$(dirname "$0")/lib.sh"
stage
# Half the default size: software rendering under a loaded test run stays at
# several frames per second, so short-lived fire particles live to be drawn.
printf 'width=512\nheight=300\n' > "$run_dir/Config.ini"
hold_camera_before_the_pit
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
start
id="$(wait_for_window 60)" || fail "no window"

wait_for_line "Loading file '../Models/hut_150k_scaled_w.fbx'..." 60 || fail "the model import did not start"
screenshot "$id" "$work/loading.png"
greater "$(warm_share "$work/loading.png" 200x30+0+0)" 0.005 || fail "no loading text in the top-left corner"

wait_for_line "OK, done reading XML-File with camera positions." 120 || fail "the scene was not built"
wait_for_line "Starting with camera 1" 180 || fail "the timeline did not start"
# The camera stands before the unlit pit. Torches and fairy dust are warm
# too: the pit is compared without and with P. Software rendering may take
# seconds per frame: poll for the pictures rather than expecting them after
# a fixed time.
scene_is_lit() {
  screenshot "$id" "$work/without-p.png"
  greater "$(mean_brightness "$work/without-p.png")" 0.01
}
poll 120 scene_is_lit || fail "no lit scene after the fade-in"
# The fade-in lasts half a second of frame time: of the frames shown after
# one more second, the second began after it had ended.
sleep 1
for _ in 1 2; do
  shown="$(frame_hash "$work/without-p.png")"
  new_frame() {
    screenshot "$id" "$work/without-p.png"
    [ "$(frame_hash "$work/without-p.png")" != "$shown" ]
  }
  poll 60 new_frame || fail "the picture stopped changing"
done
without="$(pit_flame_share "$work/without-p.png")"
greater "$pit_flame_margin" "$without" || fail "the pit burns before P was pressed (flame share $without)"
press "$id" p
fire_burns() {
  screenshot "$id" "$work/with-p.png"
  pit_is_lit "$without" "$(pit_flame_share "$work/with-p.png")"
}
poll 60 fire_burns || fail "P did not light the fire (pit: flame share $without without P, $(pit_flame_share "$work/with-p.png") with)"

press "$id" f
counter_is_shown() {
  screenshot "$id" "$work/counter.png"
  greater "$(warm_share "$work/counter.png" 80x25+0+0)" 0.01
}
poll 60 counter_is_shown || fail "the frame counter is not shown"

press "$id" Escape
wait_for_exit 60 || fail "Escape did not end the program"
[ "$exit_code" = 0 ] || fail "exit code $exit_code"

sequence=("Resolution: 512x300, FullScreenMode: 0" "OpenGL " "Loading file '" "OK, successfully loaded"
          "OK, done with all" "OK, done reading XML-File with camera positions." "Starting with camera 1")
line=0
for text in "${sequence[@]}"; do
  found="$(grep -nF -- "$text" "$log" | head -n 1 | cut -d: -f1)"
  [ -n "$found" ] && [ "$found" -gt "$line" ] || fail "'$text' missing or out of order"
  line="$found"
done
no_gl_errors || fail "OpenGL errors were printed"
[ -s "$work/audio.raw" ] || fail "no audio was written"
[ "$(head -c 4000000 "$work/audio.raw" | tr -d '\000' | head -c 10000 | wc -c)" -gt 1000 ] || fail "the audio is silent"
echo "passed"
