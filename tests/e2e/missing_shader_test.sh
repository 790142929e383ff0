#!/usr/bin/env bash
# A missing shader file stops the program with the message and exit code 255,
# without waiting for a key when no one is at a terminal.
source "$(dirname "$0")/lib.sh"
stage
rm "$run_dir/Shader/PostProcessing/blur.frag"
start
wait_for_exit 20 || fail "the program did not stop"
[ "$exit_code" = 255 ] || fail "exit code $exit_code, expected 255"
tail -n 1 "$log" | grep -qx "Failed to open ShaderFile" || fail "last line is not the fatal message"
echo "passed"
