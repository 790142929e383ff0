# Helpers of the capture tests: lib.sh's scratch run layout, plus a way to
# run tolvane-capture there and read what it wrote.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
capture_program="$TOLVANE_BIN_DIR/tolvane-capture"
[ -x "$capture_program" ] || { echo "FAIL: $capture_program is missing" >&2; exit 1; }
out="$work/out"
mkdir -p "$out"

# Runs the capture in the run directory with the given options; its console
# goes to $log. Returns the capture's exit code. TOLVANE_CAPTURE_GL picks the
# context: glfw (default), a hidden window, on Xvfb when there is no display;
# egl, EGL with DISPLAY removed, so no X server can be involved.
capture() {
  local gl="${TOLVANE_CAPTURE_GL:-glfw}" launcher=()
  if [ "$gl" = egl ]; then
    launcher=(env -u DISPLAY)
  elif [ -z "${DISPLAY:-}" ]; then
    launcher=("$(dirname "${BASH_SOURCE[0]}")/../../scripts/with-screen.sh")
  fi
  local code=0
  (cd "$run_dir" && exec "${launcher[@]}" "$capture_program" --quiet --gl "$gl" "$@" </dev/null >"$log" 2>&1) \
    || code=$?
  return "$code"
}

# The frame numbers of the PNG files in a directory, one per line.
frame_numbers() {
  find "$1" -name 'frame-*.png' -printf '%f\n' | sed 's/^frame-0*\([0-9]\)/\1/; s/\.png$//' | sort -n
}

# Width x height of a picture.
picture_size() {
  identify -format '%wx%h' "$1"
}

# Number of pixels that differ between two pictures by more than `fuzz`
# (a percentage of the full range).
differing_pixels() {
  local fuzz="${3:-0}"
  compare -metric AE -fuzz "${fuzz}%" "$1" "$2" null: 2>&1 || true
}
