#!/usr/bin/env bash
# Runs a command on a virtual screen of its own and returns its exit code.
# Usage: with-screen.sh COMMAND [ARGS...]
#
# The X server picks the display number itself (-displayfd), which makes
# starting many of these side by side safe. `xvfb-run -a` probes for a free
# number from outside the server, so two that start at the same moment can
# choose the same number; the loser then talks to the other's server, is
# refused, and the program reports that it could not open a window.
#
# -noreset: by default the server starts over whenever its last client leaves,
# and a client that connects during that restart is turned away ("unable to
# open display"). The probe below is such a last client, and tests run
# programs one after another on one screen; four screens side by side on a
# busy machine refused 12 of 400 connections that way, none with -noreset.
#
# TOLVANE_SCREEN sets the screen's size and depth (default 1280x1024x24).
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (Debian package xvfb)" >&2; exit 2; }

number_file="$(mktemp)"
server=""
stop_server() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -f "$number_file"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${TOLVANE_SCREEN:-1280x1024x24}" \
  3>"$number_file" </dev/null >/dev/null 2>&1 &
server=$!

# The server writes its number once it accepts connections.
for _ in $(seq 200); do
  [ -s "$number_file" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
number="$(tr -dc 0-9 <"$number_file")"
if [ -z "$number" ]; then
  echo "The virtual screen (Xvfb) did not start." >&2
  exit 1
fi

# On a loaded machine a client can still be turned away just after the number
# arrives; wait until one is served, so the command's own first connection is
# not the one that finds out.
for _ in $(seq 100); do
  DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$server" 2>/dev/null || { echo "The virtual screen (Xvfb) stopped." >&2; exit 1; }
  sleep 0.05
done

DISPLAY=":$number" "$@"
