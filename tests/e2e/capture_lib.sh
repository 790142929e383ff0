# Helpers of the capture and bench tests: lib.sh's scratch run layout, plus a
# way to run tolvane-capture or tolvane-bench there and read what it wrote.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
capture_program="$TOLVANE_BIN_DIR/tolvane-capture"
bench_program="$TOLVANE_BIN_DIR/tolvane-bench"
for film_program in "$capture_program" "$bench_program"; do
  [ -x "$film_program" ] || { echo "FAIL: $film_program is missing" >&2; exit 1; }
done
out="$work/out"
mkdir -p "$out"

# Runs the capture in the run directory with the given options; its console
# goes to $log. Returns the capture's exit code. TOLVANE_CAPTURE_GL picks the
# context: glfw (default), a hidden window, on Xvfb when there is no display;
# egl, EGL with DISPLAY removed, so no X server can be involved; zink, the
# same through Mesa's OpenGL-on-Vulkan driver over lavapipe, a second software
# stack that compiles shaders and rasterises by another route than llvmpipe.
# The command in the array capture_prefix, when set, runs the whole capture.
# bench OPTIONS... runs tolvane-bench the same way.
capture_prefix=()
capture() {
  play_film "$capture_program" "$@"
}
bench() {
  play_film "$bench_program" "$@"
}
play_film() {
  local film_program="$1"; shift
  local gl="${TOLVANE_CAPTURE_GL:-glfw}" launcher=()
  if [ "$gl" = zink ]; then
    gl=egl
    launcher=(env -u DISPLAY "${zink_environment[@]}")
  elif [ "$gl" = egl ]; then
    launcher=(env -u DISPLAY)
  elif [ -z "${DISPLAY:-}" ]; then
    launcher=("$(dirname "${BASH_SOURCE[0]}")/../../scripts/with-screen.sh")
  fi
  local code=0
  (cd "$run_dir" && exec "${capture_prefix[@]}" "${launcher[@]}" "$film_program" --quiet --gl "$gl" "$@" </dev/null >"$log" 2>&1) \
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

# What makes Mesa draw with zink on lavapipe: software only (a machine's own
# Vulkan driver would draw with other rounding), and a private runtime
# directory, which the Vulkan side of Mesa complains about lacking.
zink_environment=(LIBGL_ALWAYS_SOFTWARE=1 MESA_LOADER_DRIVER_OVERRIDE=zink XDG_RUNTIME_DIR="$work/xdg")
mkdir -m 700 "$work/xdg"

# Exits with 77 (skipped) unless lavapipe, the Vulkan driver zink draws on
# here, is installed: its manifest is what the Vulkan loader looks for.
require_zink() {
  local dirs=() dir
  IFS=: read -r -a dirs <<<"${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
  for dir in /etc "${dirs[@]}"; do
    compgen -G "$dir/vulkan/icd.d/lvp_icd*.json" >/dev/null && return 0
  done
  echo "SKIPPED: zink needs lavapipe, Mesa's Vulkan software driver (Debian package mesa-vulkan-drivers), which is not installed"
  exit 77
}

# Fails unless the last capture drew with zink. The environment only asks
# for it; were the request ignored (a Mesa built without zink, a renamed
# variable), llvmpipe would draw, and its pictures would pass for zink's.
require_zink_drew() {
  local renderer
  renderer="$(sed -n 's/^Rendering with \(.*\) by .* through .*/\1/p' "$log")"
  [[ "$renderer" == zink* ]] || fail "asked for zink, but the capture drew with '${renderer:-no renderer named}'"
  echo "Drawn with $renderer"
}

# The types of an ISO media file's (MP4's) top-level boxes in file order, one
# per line. A box is a 32-bit big-endian size, counting its 8-byte header, and
# four characters; size 1 puts a 64-bit size after the type, size 0 runs to
# the end of the file. Fails on a box that leaves the file or cannot hold its
# own header, so a file cut short never passes for a complete one.
iso_top_boxes() {
  local file="$1" offset=0 end hex size type
  end="$(stat -c %s "$file")" || return 1
  while [ "$offset" -lt "$end" ]; do
    hex="$(od -An -v -tx1 -j "$offset" -N 16 "$file" | tr -d ' \n')"
    [ "${#hex}" -ge 16 ] || return 1
    size=$((16#${hex:0:8}))
    type="$(printf '%b' "\\x${hex:8:2}\\x${hex:10:2}\\x${hex:12:2}\\x${hex:14:2}")"
    if [ "$size" = 1 ]; then
      [ "${#hex}" = 32 ] || return 1
      size=$((16#${hex:16:16}))
      [ "$size" -ge 16 ] || return 1
    elif [ "$size" = 0 ]; then
      size=$((end - offset))
    fi
    [ "$size" -ge 8 ] && [ "$size" -le $((end - offset)) ] || return 1
    echo "$type"
    offset=$((offset + size))
  done
}
