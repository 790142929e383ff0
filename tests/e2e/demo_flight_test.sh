#!/usr/bin/env bash
# The whole demo in its staged directory with the generated content: console
# sequence, loading screen, fade-in, the fire pit without and with P, the frame
# counter, music written by SDL's disk audio driver, and a clean exit.
source "$(dirname "$0")/lib.sh"
stage
# Half the default size: software rendering under a loaded test run stays at
# several frames per second, so short-lived fire particles live to be drawn.
printf 'width=512\nheight=300\n' > "$run_dir/Config.ini"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
start
id="$(wait_for_window 60)" || fail "no window"

wait_for_line "Loading file '../Models/hut_150k_scaled_w.fbx'..." 60 || fail "the model import did not start"
screenshot "$id" "$work/loading.png"
greater "$(warm_share "$work/loading.png" 200x30+0+0)" 0.005 || fail "no loading text in the top-left corner"

wait_for_line "OK, done reading XML-File with camera positions." 120 || fail "the scene was not built"
wait_for_line "Starting with camera 1" 180 || fail "the timeline did not start"
# The first flight starts with the fire pit in view, left of the hut. Torches
# and fairy dust are warm too: the pit is compared without and with P.
# Software rendering may take seconds per frame under load: poll for the
# pictures rather than expecting them after a fixed time.
pit=150x70+50+130
# The fade-in is over once two pictures a second or more apart show
# different frames of nearly the same brightness (the fade takes half a second).
last_brightness=""
fade_in_is_over() {
  screenshot "$id" "$work/without-p.png"
  local brightness previous="$last_brightness"
  brightness="$(mean_brightness "$work/without-p.png")"
  last_brightness="$brightness"
  [ -n "$previous" ] && [ "$brightness" != "$previous" ] && greater "$brightness" 0.01 \
    && greater "$brightness" "$(awk -v b="$previous" 'BEGIN { print b / 1.1 }')" \
    && greater "$(awk -v b="$previous" 'BEGIN { print b * 1.1 }')" "$brightness"
}
poll 120 fade_in_is_over || fail "no lit scene after the fade-in (mean brightness $last_brightness)"
without="$(warm_share "$work/without-p.png" $pit)"
greater 0.01 "$without" || fail "the pit burns before P was pressed (warm share $without)"
press "$id" p
fire_burns() {
  screenshot "$id" "$work/with-p.png"
  greater "$(warm_share "$work/with-p.png" $pit)" "$(awk -v a="$without" 'BEGIN { print a + 0.02 }')"
}
poll 60 fire_burns || fail "P did not light the fire (pit: warm share $without without P, $(warm_share "$work/with-p.png" $pit) with)"

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
