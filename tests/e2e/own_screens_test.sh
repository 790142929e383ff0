#!/usr/bin/env bash
# Virtual screens started side by side (as the troubleshooting rows do) must
# each get a display of their own, pass the command's exit code through and
# stop their server afterwards.
set -euo pipefail
with_screen="$(dirname "$0")/../../scripts/with-screen.sh"
results="$(mktemp -d /tmp/tolvane-screens-XXXXXX)"
trap 'rm -rf "$results"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

count=6
for i in $(seq "$count"); do
  # The display must stay ours while the command runs: a collision shows up
  # as a refused connection, or as another screen's size.
  TOLVANE_SCREEN="$((200 + i))x100x24" "$with_screen" bash -c '
    sleep 0.3
    xdpyinfo | grep -q "dimensions: *$1x100 " || exit 3
    echo "$DISPLAY" > "$2"' _ "$((200 + i))" "$results/$i" &
done
codes=""
for job in $(jobs -p); do wait "$job" || codes+=" $?"; done
[ -z "$codes" ] || fail "some screens failed (exit codes:$codes)"

displays="$(cat "$results"/* | sort -u | wc -l)"
[ "$displays" = "$count" ] || fail "$count screens shared $displays displays"
for i in $(seq "$count"); do
  ! xdpyinfo -display "$(cat "$results/$i")" >/dev/null 2>&1 || fail "the screen $(cat "$results/$i") is still running"
done

code=0
"$with_screen" bash -c 'exit 7' || code=$?
[ "$code" = 7 ] || fail "exit code $code, expected the command's 7"
echo "passed"
