#!/usr/bin/env bash
# The window takes its size from Config.ini.
source "$(dirname "$0")/lib.sh"
stage
printf 'width=800\nheight=500\n' > "$run_dir/Config.ini"
start
id="$(wait_for_window 60)" || fail "no window"
[ "$(window_size "$id")" = "800x500" ] || fail "window is $(window_size "$id"), expected 800x500"
grep -qx "Resolution: 800x500, FullScreenMode: 0" "$log" || fail "resolution line"
press "$id" Escape
wait_for_exit 30 || fail "Escape did not end the program"
[ "$exit_code" = 0 ] || fail "exit code $exit_code"
echo "passed"
