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

# Waits for a console line matching a fixed string.
wait_for_line() {
  local text="$1" seconds="${2:-60}"
  for _ in $(seq 1 $((seconds * 5))); do
    grep -qF -- "$text" "$log" && return 0
    sleep 0.2
  done
  return 1
}

# Waits for the program to end; prints its exit code.
wait_for_exit() {
  local seconds="${1:-20}"
  for _ in $(seq 1 $((seconds * 5))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      local code=0
      wait "$pid" || code=$?
      pid=""
      echo "$code"
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
