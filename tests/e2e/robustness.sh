#!/usr/bin/env bash
# One row of the troubleshooting table: damage one input in a staged copy of
# the run layout, run the real program on its own virtual screen, and check
# what the user sees and whether the demo goes on or stops with exit code 255.
# Usage: robustness.sh ROW

# Each row runs on its own virtual screen, so rows can run side by side.
if [ "${1:-}" != no_display ] && [ -z "${TOLVANE_OWN_SCREEN:-}" ]; then
  TOLVANE_OWN_SCREEN=1 exec "$(dirname "$0")/../../scripts/with-screen.sh" bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
row="$1"
textures="$work/Textures"

# The shared content is linked; copy what a row is going to damage.
own() {
  local dir="$1"
  rm "$work/$dir"
  cp -r "$TOLVANE_STAGE_DIR/$dir" "$work/$dir"
}

paths='<spline_editor><spline><spline_point_array>'
paths_end='</spline_point_array></spline></spline_editor>'

stage
expect_stop=""   # the last line when the program must stop with 255
expect_line=""   # a line the program must print when it goes on
also_expect=""   # and another
wait_for=""      # a line to wait for before quitting (default: the first frame)
small_window=yes

case "$row" in
  config_missing) rm "$run_dir/Config.ini"; expect_line="Unable to open configuration file" ;;
  config_empty) : > "$run_dir/Config.ini"; expect_line="Resolution: 1024x600, FullScreenMode: 0"; small_window="" ;;
  config_garbage) head -c 4096 /dev/urandom > "$run_dir/Config.ini"; printf '\nwidth=320\nheight=200\n' >> "$run_dir/Config.ini"
                  expect_line="Resolution: 320x200, FullScreenMode: 0"; small_window="" ;;
  config_zero_width) printf 'width=0\n' > "$run_dir/Config.ini"; small_window=""
                     expect_stop="Failed to open window"; expect_line="The window size 0x600 from Config.ini is not a usable size." ;;
  config_negative_size) printf 'height=-600\n' > "$run_dir/Config.ini"; small_window=""
                        expect_stop="Failed to open window"; expect_line="The window size 1024x-600 from Config.ini is not a usable size." ;;
  config_huge_width) printf 'width=1000000\n' > "$run_dir/Config.ini"; small_window=""
                     expect_stop="Failed to open window"
                     expect_line="The window size 1000000x600 from Config.ini is larger than this OpenGL driver can render." ;;
  config_bad_float) printf 'width=320\nheight=200\nambient=dark\nintensity=1e999\n' > "$run_dir/Config.ini"; small_window=""
                    expect_line="stof argument out of range" ;;
  campath_missing) rm "$run_dir/campath2.xml"; expect_line="Camera path 'campath2.xml' not loaded: file not found" ;;
  campath_empty) : > "$run_dir/campath2.xml"; expect_line="Camera path 'campath2.xml' not loaded: file is empty" ;;
  campath_not_xml) echo "not xml at all <<<" > "$run_dir/campath2.xml"; expect_line="Camera path 'campath2.xml' not loaded: malformed XML" ;;
  campath_no_wrapper) echo '<spline_editor><spline/></spline_editor>' > "$run_dir/campath2.xml"
                      expect_line="Camera path 'campath2.xml' not loaded: no spline_editor/spline/spline_point_array element" ;;
  campath_unknown_elements)
    { echo "$paths"; for i in $(seq 1 5000); do echo "<bogus_$((i % 7))/>"; done; echo "$paths_end"; } > "$run_dir/campath2.xml"
    expect_line="Unknown Event Type 'bogus_1'" ;;
  shader_missing) rm "$run_dir/Shader/normalMap.frag"; expect_stop="Failed to open ShaderFile" ;;
  shader_include_missing) rm "$run_dir/Shader/lighting.glsl"
                          expect_stop="Failed to open ShaderFile 'Shader/lighting.glsl' (#include in Shader/specular.frag, line 6)" ;;
  shader_broken) echo "void main() { this is not GLSL }" > "$run_dir/Shader/light.frag"; expect_stop="" ; expect_line="Failed to compile Shader"
                 expect_stop_any=yes ;;
  texture_missing) own Textures; rm "$textures/smoke.png"; expect_stop="Failed to load Texture" ;;
  texture_truncated) own Textures; head -c 300 "$TOLVANE_STAGE_DIR/Textures/hut_wall.png" > "$textures/hut_wall.png"
                     expect_stop="Failed to load Texture"; expect_line="Could not load Image:'../Textures/hut_wall.png'" ;;
  texture_empty) own Textures; : > "$textures/fire-p.png"; expect_stop="Failed to load Texture" ;;
  texture_palette) own Textures; convert "$TOLVANE_STAGE_DIR/Textures/hut_wall.png" -colors 64 PNG8:"$textures/hut_wall.png" ;;
  texture_grey) own Textures; convert "$TOLVANE_STAGE_DIR/Textures/stone.png" -colorspace Gray -type Grayscale "$textures/stone.png" ;;
  texture_16bit) own Textures; convert "$TOLVANE_STAGE_DIR/Textures/smoke.png" -depth 16 PNG64:"$textures/smoke.png" ;;
  texture_cmyk) own Textures; convert "$TOLVANE_STAGE_DIR/Textures/fairydust.tif" -alpha off -colorspace CMYK "$textures/fairydust.tif" ;;
  texture_cmyk_alpha) own Textures; convert "$TOLVANE_STAGE_DIR/Textures/fairydust.tif" -colorspace CMYK "$textures/fairydust.tif"
                      expect_stop="Failed to load Texture"; expect_line="Could not load Image:'../Textures/fairydust.tif'" ;;
  model_missing) own Models; rm "$work/Models/hut_150k_scaled_w.fbx"; expect_line="Assimp: Unable to open file" ;;
  model_truncated) own Models; head -c 20000 "$TOLVANE_STAGE_DIR/Models/hut_150k_scaled_w.fbx" > "$work/Models/hut_150k_scaled_w.fbx"
                   expect_line="Assimp: " ;;
  model_not_fbx) own Models; echo "this is not a model" > "$work/Models/hut_150k_scaled_w.fbx"; expect_line="Assimp: " ;;
  model_without_uvs) own Models; "$TOLVANE_BIN_DIR/tolvane_write_test_model" "$work/Models/hut_150k_scaled_w.fbx" ../Textures/stone.png
                     expect_line="it has no texture coordinates"; also_expect="OK, done with all 1 sets." ;;
  model_with_lines) own Models; "$TOLVANE_BIN_DIR/tolvane_write_test_model" "$work/Models/hut_150k_scaled_w.fbx" ../Textures/stone.png lines
                    expect_line="Skipping mesh #1 'outline': it has no triangles"; also_expect="OK, done with all 1 sets." ;;
  font_missing) rm "$run_dir/Fonts/Beyond Wonderland.ttf"; expect_line="ERROR::FREETYPE: Failed to load font" ;;
  font_not_a_font) head -c 2000 /dev/urandom > "$run_dir/Fonts/Celtasmigoria.ttf"; expect_line="ERROR::FREETYPE: Failed to load font" ;;
  music_missing) own Music; rm "$work/Music/DanceWithDragon_160kbts.mp3"
                 expect_line="Music unavailable: cannot play ../Music/DanceWithDragon_160kbts.mp3"; wait_for="Starting with camera 1" ;;
  music_not_mp3) own Music; head -c 50000 /dev/urandom > "$work/Music/DanceWithDragon_160kbts.mp3"
                 expect_line="Music unavailable: cannot play ../Music/DanceWithDragon_160kbts.mp3"; wait_for="Starting with camera 1" ;;
  no_sound_device) export SDL_AUDIODRIVER=none_here; expect_line="Music unavailable: no sound device" ;;
  no_display) unset DISPLAY; expect_stop="Failed to init glfw"; no_display=yes ;;
  *) echo "unknown row $row" >&2; exit 2 ;;
esac

# A small window keeps software rendering quick where the size does not matter.
if [ -n "$small_window" ]; then
  printf 'width=320\nheight=200\n' > "$run_dir/Config.ini.small"
  [ -f "$run_dir/Config.ini" ] && mv "$run_dir/Config.ini.small" "$run_dir/Config.ini" || rm "$run_dir/Config.ini.small"
fi

run_row() {
  start
  if [ -n "$expect_stop" ] || [ -n "${expect_stop_any:-}" ]; then
    wait_for_exit 60 || fail "the program did not stop"
    [ "$exit_code" = 255 ] || fail "exit code $exit_code, expected 255"
    [ -z "$expect_stop" ] || [ "$(tail -n 1 "$log")" = "$expect_stop" ] || fail "last line is not '$expect_stop'"
  else
    local id
    id="$(wait_for_window 60)" || fail "no window"
    wait_for_line "${wait_for:-OK, done reading XML-File with camera positions.}" 120 || fail "the demo did not get going"
    press "$id" Escape
    wait_for_exit 120 || fail "Escape did not end the program"
    [ "$exit_code" = 0 ] || fail "exit code $exit_code, expected 0"
    no_gl_errors || fail "OpenGL errors were printed"
  fi
  [ -z "$expect_line" ] || grep -qF -- "$expect_line" "$log" || fail "no line '$expect_line'"
  [ -z "$also_expect" ] || grep -qF -- "$also_expect" "$log" || fail "no line '$also_expect'"
  ! grep -qE "Segmentation|Aborted|runtime error|AddressSanitizer" "$log" || fail "the program crashed"
}

# A virtual screen that turns the program away is the test machine's fault,
# not the row's: a row whose program could not even reach its display runs
# once more on a fresh screen, and says so.
if ! (run_row); then
  if [ "$row" != no_display ] && [ -z "${TOLVANE_SCREEN_RETRIED:-}" ] &&
     grep -q "GLFW: X11: Failed to open display" "$log" 2>/dev/null; then
    echo "the virtual screen refused the program; running the row again on a new one" >&2
    cleanup
    trap - EXIT
    TOLVANE_SCREEN_RETRIED=1 TOLVANE_OWN_SCREEN="" exec bash "$0" "$@"
  fi
  exit 1
fi
echo "passed: $row"
