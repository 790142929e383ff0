#!/usr/bin/env bash
# Starting without Config.ini: defaults, console lines, window, Escape.
source "$(dirname "$0")/lib.sh"
stage
rm -f "$run_dir/Config.ini"
start
id="$(wait_for_window 60)" || fail "no window titled Tolvane"
[ "$(window_size "$id")" = "1024x600" ] || fail "window is $(window_size "$id"), expected 1024x600"
wait_for_line "Resolution:" 5 || fail "no resolution line"
head -n 1 "$log" | grep -qx "Unable to open configuration file" || fail "first line is not the missing-file line"
sed -n 2,3p "$log" | tr '\n' '|' | grep -qx "Resolution: 1024x600, FullScreenMode: 0||" \
  || fail "resolution line with an empty line after it expected"
sed -n 4,5p "$log" | tr '\n' '|' | grep -qE "^OpenGL .+, GLSL .+\.\|\|$" || fail "version line with an empty line after it expected"
sleep 2
press "$id" Escape
wait_for_exit 30 || fail "Escape did not end the program"
[ "$exit_code" = 0 ] || fail "exit code $exit_code after Escape"
no_gl_errors || fail "OpenGL errors were printed"
echo "passed"
