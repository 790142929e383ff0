#!/usr/bin/env bash
# The capture through EGL without an X server: the same pictures as through
# the hidden GLFW window, bit for bit (both are Mesa's llvmpipe here), the
# context chosen by --gl auto, and every way EGL can fail ending in one line
# and a non-zero exit code rather than a crash.
source "$(dirname "$0")/capture_lib.sh"
stage

moments=(--size 256x150 --fps 50 --at 3.2,14.8,42,61)
TOLVANE_CAPTURE_GL=glfw capture "${moments[@]}" --out "$out/glfw" --loading-screen "$out/glfw/loading.png" \
  || fail "capture through GLFW exited with $?"
grep -q "through a GLFW window" "$log" || fail "--gl glfw did not say it drew in a GLFW window"
TOLVANE_CAPTURE_GL=egl capture "${moments[@]}" --out "$out/egl" --loading-screen "$out/egl/loading.png" \
  || fail "capture through EGL exited with $?"
grep -q "^Rendering with .* by .* through EGL " "$log" || fail "--gl egl did not name its device"
no_gl_errors || fail "OpenGL errors were printed through EGL"
for picture in loading.png frame-000160.png frame-000740.png frame-002100.png frame-003050.png; do
  [ -f "$out/egl/$picture" ] || fail "EGL wrote no $picture"
  n="$(differing_pixels "$out/glfw/$picture" "$out/egl/$picture")"
  [ "$n" = 0 ] || fail "$picture differs between GLFW and EGL in $n pixels"
done

# auto: EGL without a display, the GLFW window with one.
(cd "$run_dir" && env -u DISPLAY "$capture_program" --quiet --to 0.1 --size 64x40 --out "$out/auto" >"$log" 2>&1) \
  || fail "auto without a display exited with $?"
grep -q "through EGL " "$log" || fail "auto without a display did not draw through EGL"
if [ -n "${DISPLAY:-}" ]; then
  (cd "$run_dir" && "$capture_program" --quiet --to 0.1 --size 64x40 --out "$out/auto" >"$log" 2>&1) \
    || fail "auto with a display exited with $?"
  grep -q "through a GLFW window" "$log" || fail "auto with a display did not use the GLFW window"
fi

# Each failure: a non-zero exit code that is not a signal, and the reason
# on the last line.
expect_failure() {
  local expected="$1"; shift
  local code=0
  (cd "$run_dir" && env -u DISPLAY "$@" </dev/null >"$log" 2>&1) || code=$?
  [ "$code" -ne 0 ] || fail "'$*' exited with 0"
  [ "$code" -lt 128 ] || [ "$code" = 255 ] || fail "'$*' crashed (exit code $code)"
  tail -n 1 "$log" | grep -q -- "$expected" || fail "'$*' did not end saying '$expected'"
}
echo '{"file_format_version": "1.0.0", "ICD": {"library_path": "libEGL_nobody.so.0"}}' >"$work/no-driver.json"
expect_failure "EGL found no device to draw on" \
  __EGL_VENDOR_LIBRARY_FILENAMES="$work/no-driver.json" "$capture_program" --gl egl --to 0.1 --out "$out/x"
expect_failure "EGL found no device to draw on" \
  __EGL_VENDOR_LIBRARY_FILENAMES="$work/no-driver.json" "$capture_program" --list-devices
expect_failure "no EGL device gives an OpenGL 3.3 core context" \
  MESA_GL_VERSION_OVERRIDE=3.1 "$capture_program" --gl egl --to 0.1 --out "$out/x"
expect_failure "Failed to open window" "$capture_program" --gl egl --size 16000x600 --to 0.1 --out "$out/x"
grep -q "The window size 16000x600 asked for is larger than this OpenGL driver can render" "$log" \
  || fail "a refused size was not named"
expect_failure "Failed to init glfw" "$capture_program" --gl glfw --to 0.1 --out "$out/x"

(cd "$run_dir" && env -u DISPLAY "$capture_program" --list-devices >"$log" 2>&1) || fail "--list-devices exited with $?"
grep -q "^EGL device 0: " "$log" || fail "--list-devices listed no device"
grep -q "^GL_RENDERER: ." "$log" || fail "--list-devices named no renderer"
grep -q "^Chosen: EGL " "$log" || fail "--list-devices did not name its choice"
echo "passed"
