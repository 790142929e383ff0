#!/usr/bin/env bash
# The demo as a native Wayland client, under sway's headless backend with an
# output at the given scale (1, or 2 as on a HiDPI laptop):
#   - the picture fills its window, every quarter of it, at either scale;
#   - F shows the frame counter, P lights the fire, Escape quits with 0;
#   - hidden (sent to the scratchpad, where the compositor stops sending it
#     frame events) the demo still takes a close request, and SIGTERM, and
#     quits with 0.
# Skipped (77) without sway, grim and wtype, or with a GLFW that has no
# Wayland support (before 3.4, Debian's GLFW is built for X11 alone).
#   wayland.sh SCALE
source "$(dirname "$0")/lib.sh"
scale="${1:-1}"

for tool in sway swaymsg grim wtype convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ "${TOLVANE_GLFW_WAYLAND:-0}" != 1 ]; then
  echo "SKIP: this build's GLFW ${TOLVANE_GLFW_VERSION:-?} opens no Wayland windows"
  exit 77
fi

stage
printf 'width=512\nheight=300\n' >"$run_dir/Config.ini"
hold_camera_before_the_pit

runtime="$work/runtime"
mkdir -m 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
unset DISPLAY WAYLAND_DISPLAY
cat >"$work/sway.conf" <<EOF
xwayland disable
output HEADLESS-1 resolution 1280x800 scale $scale
default_border none
default_floating_border none
for_window [title="^Tolvane\$"] floating enable
EOF
# pixman draws without any GL, so the compositor never competes with the
# demo for the software renderer.
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
stop_sway() {
  kill "$sway_pid" 2>/dev/null || true
  wait "$sway_pid" 2>/dev/null || true
}
trap 'stop_sway; cleanup' EXIT

export SWAYSOCK=""
socket_ready() {
  SWAYSOCK="$(compgen -G "$runtime/sway-ipc.*" | head -n 1)"
  [ -n "$SWAYSOCK" ] && compgen -G "$runtime/wayland-*" >/dev/null && swaymsg -t get_version >/dev/null 2>&1
}
poll 30 socket_ready || { cat "$work/sway.log" >&2; fail "sway did not start"; }
WAYLAND_DISPLAY="$(basename "$(compgen -G "$runtime/wayland-*" | grep -v '\.lock$' | head -n 1)")"
export WAYLAND_DISPLAY

# The demo's window in sway's tree: "x y width height visible", in the
# output's logical pixels.
window_rect() {
  swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("name") == "Tolvane":
        r = node["rect"]
        print(r["x"], r["y"], r["width"], r["height"], str(node.get("visible", False)).lower())
        return True
    return any(walk(child) for child in node.get("nodes", []) + node.get("floating_nodes", []))
walk(json.load(sys.stdin))'
}
has_window() { [ -n "$(window_rect)" ]; }

# Mean brightness (0 to 1) of each quarter of the window in a screenshot.
quarter_means() {
  local shot="$1" x y w h
  read -r x y w h _ <<<"$(window_rect)"
  # grim writes physical pixels: the logical rectangle times the scale.
  x=$((x * scale)) y=$((y * scale)) w=$((w * scale / 2)) h=$((h * scale / 2))
  for offset in "0 0" "$w 0" "0 $h" "$w $h"; do
    read -r dx dy <<<"$offset"
    convert "$shot" -crop "${w}x${h}+$((x + dx))+$((y + dy))" +repage -colorspace Gray -format '%[fx:mean] ' info:
  done
}
whole_picture() {
  grim "$work/shot.png" 2>/dev/null || return 1
  local means
  means="$(quarter_means "$work/shot.png")"
  # Every quarter holds part of the lit scene, not black.
  awk -v m="$means" 'BEGIN { n = split(m, q, " "); for (i = 1; i <= n; i++) if (q[i] < 0.02) exit 1; exit n == 4 ? 0 : 1 }'
}

start_demo() {
  (cd "$run_dir" && exec "$program" </dev/null >"$log" 2>&1) &
  pid=$!
  poll 60 has_window || fail "no Wayland window appeared"
  grep -q 'XDG_RUNTIME_DIR\|No plugins found' "$log" && fail "library chatter on the console"
  poll 90 whole_picture || fail "the picture does not fill its window at scale $scale (quarter means: $(quarter_means "$work/shot.png"))"
  # To look at: TOLVANE_WAYLAND_SHOT_DIR keeps the screenshot.
  if [ -n "${TOLVANE_WAYLAND_SHOT_DIR:-}" ]; then cp "$work/shot.png" "$TOLVANE_WAYLAND_SHOT_DIR/wayland-scale$scale.png"; fi
}

# The demo must still be drawing, hence reading its events, while the
# compositor shows it nowhere.
hide_demo() {
  swaymsg '[title="^Tolvane$"] move scratchpad' >/dev/null
  read -r _ _ _ _ visible <<<"$(window_rect)"
  [ "$visible" = false ] || fail "the window is still visible in the scratchpad"
  sleep 3
  kill -0 "$pid" 2>/dev/null || fail "the demo ended while hidden"
}

# The frame counter's corner, warm text as in the X11 flight test.
counter_shows() {
  local x y
  read -r x y _ <<<"$(window_rect)"
  grim -g "$x,$y 80x25" "$work/counter.png" 2>/dev/null && greater "$(warm_share "$work/counter.png" 80x25+0+0)" 0.01
}

# Share of flame-coloured pixels over the fire pit.
pit_flames() {
  local x y
  read -r x y _ <<<"$(window_rect)"
  grim -g "$x,$y 512x300" "$work/pit.png" 2>/dev/null
  pit_flame_share "$work/pit.png"
}

# wtype types through a keyboard whose keymap it makes up: the n-th key
# symbol it names gets evdev code n. GLFW reads keys by their codes, as on a
# physical keyboard, so a key reaches the demo as itself only at its own
# code: the symbols named before it are only released, never pressed, and
# the demo reads presses. Each wtype is a new keyboard, which the compositor
# needs a moment to announce before its first key counts.
#   type_key SYMBOL EVDEV_CODE (see linux/input-event-codes.h)
type_key() {
  local fillers=(q w e r t y u i o a s d g h j k l z x c v b n m 1 2 3 4 5 6 7 8 9 0)
  local args=() i
  for ((i = 1; i < $2; i++)); do args+=(-p "${fillers[$((i - 1))]}"); done
  wtype -s 1000 "${args[@]}" -P "$1" -p "$1"
}

start_demo
if [ "$scale" = 1 ]; then
  counter_shows && fail "the frame counter shows before F was pressed"
  type_key f 33
  poll 20 counter_shows || fail "F did not show the frame counter"
  # The camera stands before the unlit pit, as in the X11 flight test; P
  # lights it.
  without="$(pit_flames)"
  type_key p 25
  fire_burns() { pit_is_lit "$without" "$(pit_flames)"; }
  poll 30 fire_burns || fail "P did not light the fire (pit: flame share $without without P, $(pit_flames) with)"
  type_key Escape 1
  wait_for_exit 30 || fail "Escape did not end the demo"
  [ "$exit_code" = 0 ] || fail "exit code $exit_code after Escape, expected 0"
else
  hide_demo
  swaymsg '[title="^Tolvane$"] kill' >/dev/null
  wait_for_exit 30 || fail "a close request did not end the demo while its window was hidden"
  [ "$exit_code" = 0 ] || fail "exit code $exit_code after a close request, expected 0"
  start_demo
  hide_demo
  kill -TERM "$pid"
  wait_for_exit 30 || fail "SIGTERM did not end the demo while its window was hidden"
  [ "$exit_code" = 0 ] || fail "exit code $exit_code after SIGTERM, expected 0"
fi
no_gl_errors || fail "OpenGL errors were printed"
echo "PASS: Wayland at scale $scale"
