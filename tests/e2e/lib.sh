# Shared helpers of the end-to-end tests. Each test stages its own copy of
# the run layout, starts the program there and watches its console and window.
set -euo pipefail

: "${TOLVANE_BIN_DIR:?}" "${TOLVANE_STAGE_DIR:?}"
program="$TOLVANE_BIN_DIR/tolvane"
work="$(mktemp -d /tmp/tolvane-e2e-XXXXXX)"
run_dir="$work/Tolvane"
log="$work/console.log"
pid=""

cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -9 "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "---- console ----" >&2
  cat "$log" >&2 2>/dev/null || true
  exit 1
}

# Copies the program's directory (so a test may change it) and links the
# shared content beside it.
stage() {
  mkdir -p "$run_dir"
  cp -r "$TOLVANE_STAGE_DIR/Tolvane/." "$run_dir/"
  for shared in Models Textures Music; do
    if [ -e "$TOLVANE_STAGE_DIR/$shared" ]; then ln -s "$TOLVANE_STAGE_DIR/$shared" "$work/$shared"; fi
  done
}

# The film's first flight lights the camp fire at once, hidden behind the
# hut. For a test of the P key, the first flight is replaced by a camera that
# stands still for 200 s at 30 steps a second, looking past the hut at the
# unlit pit; in a 512x300 window the pit lies in pit_region, left of the
# torch pole.
pit_region=66x50+184+130
# Flame-coloured share of the region that a few drifting sparks of fairy
# dust may reach; the burning fire gives about 0.06.
pit_flame_margin=0.01
# Share of flame-coloured pixels over the pit in a 512x300 picture; under
# load few flames live to be drawn, so dim orange counts.
pit_flame_share() {
  pixel_share "$1" "$pit_region" "r>0.4 && r>g*1.3 && b<0.3"
}
# True when a share is that of a lit fire, seen against $1, the unlit pit's.
pit_is_lit() {
  greater "$2" "$(awk -v a="$1" -v m="$pit_flame_margin" 'BEGIN { print a + m }')"
}
hold_camera_before_the_pit() {
  {
    echo '<spline_editor><spline><spline_point_array>'
    for _ in $(seq 1 6000); do echo '<spline_position x="-0.8" y="1.4" z="4.9" time="0"/>'; done
    echo '</spline_point_array></spline></spline_editor>'
  } >"$run_dir/campath1.xml"
}

# Starts the program as a user would, its console going to a file.
start() {
  (cd "$run_dir" && exec "$program" </dev/null >"$log" 2>&1) &
  pid=$!
}

# Waits until the program's window is mapped; prints its X id.
wait_for_window() {
  local seconds="${1:-30}" id=""
  for _ in $(seq 1 $((seconds * 5))); do
    id="$(xdotool search --onlyvisible --pid "$pid" --name '^Tolvane$' 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# Runs a check (a command) until it succeeds or SECONDS of wall time pass.
poll() {
  local seconds="$1"; shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 1
  done
}

# Waits for a console line matching a fixed string.
wait_for_line() {
  local text="$1" seconds="${2:-60}"
  for _ in $(seq 1 $((seconds * 5))); do
    grep -qF -- "$text" "$log" && return 0
    sleep 0.2
  done
  return 1
}

# Waits for the program to end and puts its exit code in exit_code. Must run
# in the test's own shell (not in $(...)), which is the program's parent.
exit_code=""
wait_for_exit() {
  local seconds="${1:-20}"
  for _ in $(seq 1 $((seconds * 5))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      exit_code=0
      wait "$pid" || exit_code=$?
      pid=""
      return 0
    fi
    sleep 0.2
  done
  return 1
}

press() {
  local window_id="$1" key="$2"
  xdotool windowfocus --sync "$window_id" 2>/dev/null || true
  xdotool key --window "$window_id" "$key"
  sleep 0.3
  xdotool windowfocus "$window_id" key "$key" 2>/dev/null || true
}

window_size() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p'
}

no_gl_errors() {
  ! grep -q '^OpenGL Error:' "$log"
}

# True when the run, made with TOLVANE_GL_DEBUG=1, printed no driver message
# of type ERROR or of high severity.
no_serious_driver_messages() {
  ! grep -E '^GL debug: .*(type=ERROR|severity=HIGH)' "$log"
}

# Saves a screenshot of the window.
screenshot() {
  import -window "$1" "$2" 2>/dev/null
}

# A digest of a picture's pixels (not of its file, which carries a date).
frame_hash() {
  convert "$1" rgb:- | md5sum
}

# Mean brightness of a picture, 0 to 1.
mean_brightness() {
  convert "$1" -colorspace Gray -format "%[fx:mean]" info:
}

# Share of pixels (0 to 1) inside a region WxH+X+Y that are warm and bright:
# red high, blue low.
warm_share() {
  pixel_share "$1" "$2" "r>0.55 && r>g*1.15 && b<0.45"
}

# Share of pixels (0 to 1) inside a region WxH+X+Y for which an -fx
# condition holds. ImageMagick 7 may print a word of its own ("list") before
# the figure on screenshots: the figure is the last line.
pixel_share() {
  convert "$1" -crop "$2" +repage -fx "($3) ? 1 : 0" -format "%[fx:mean]" info: | tail -n 1
}

# True when $1 > $2 (floating point).
greater() {
  awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'
}
