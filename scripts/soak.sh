#!/usr/bin/env bash
# Soak run: plays the whole film plus ten minutes on the credits off-screen at
# a fixed step (5 frames per demo second, small pictures, so it takes minutes
# rather than hours on a software renderer), samples resident memory and live
# GL objects every 10 s of demo time, and fails when either grows after the
# first minute. Usage: scripts/soak.sh [build dir]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
table="$build/soak-census.txt"
cd "$build/stage/Tolvane"
screen=("$root/scripts/with-screen.sh")
[ -n "${DISPLAY:-}" ] && screen=()
# The bench times the whole run as well; its figures end the console log.
SDL_AUDIODRIVER=dummy "${screen[@]}" "$build/bin/tolvane-bench" --fps 5 --to 660 --size 160x94 \
  --census "$table" --quiet > "$build/soak-console.log"
cat "$table"
# Columns: seconds rss_kb ... total. Memory may settle by a few hundred kB.
awk 'NR > 1 && $1 >= 60 {
       if (!base) { base = $2; objects = $NF }
       if ($2 - base > 1024) { print "resident memory grew by " ($2 - base) " kB at " $1 " s"; bad = 1 }
       if ($NF != objects) { print "GL objects went from " objects " to " $NF " at " $1 " s"; bad = 1 }
     }
     END { if (!base) { print "the run ended before a minute"; exit 1 } exit bad }' "$table"
echo "soak: no growth after the first minute"
