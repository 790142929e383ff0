#!/usr/bin/env bash
# tolvane-bench's JSON holds every figure, the GPU passes add up to no more than
# the frame, and the plot is drawn when gnuplot is there.
source "$(dirname "$0")/capture_lib.sh"
stage

plot=()
command -v gnuplot >/dev/null && plot=(--plot "$out/plot.png")
bench --from 3 --to 3.5 --fps 20 --size 256x150 --json "$out/bench.json" "${plot[@]}" \
  || fail "bench exited with $?"
json="$out/bench.json"
[ -s "$json" ] || fail "no JSON written"

# The median of one entry, e.g. median shadow; each entry is on a line of
# its own.
median() {
  sed -n "s/^ *\"$1\": {\"median\": \([0-9.]*\),.*/\1/p" "$json" | head -n 1
}
for pass in shadow scene particles blur composition overlays passes frame; do
  [ -n "$(median "$pass")" ] || fail "no GPU median for $pass"
done
for entry in update particle_readback; do
  [ -n "$(median "$entry")" ] || fail "no CPU median for $entry"
done
for key in '"frame_ms": {"median"' '"p95"' '"overlays": [0-9]' '"model_import": [0-9]' '"textures": [0-9]' \
           '"rest": [0-9]' '"total": [0-9]' '"frames": 10,' '"width": 256'; do
  grep -q -- "$key" "$json" || fail "JSON lacks $key"
done
# Each frame's passes lie within its span, so their sum's median cannot
# exceed the span's; the wall clock measures a slightly different span.
frame="$(sed -n 's/.*"frame_ms": {"median": *\([0-9.]*\).*/\1/p' "$json")"
passes="$(median passes)"
awk -v s="$passes" -v f="$(median frame)" 'BEGIN { exit !(s > 0 && s <= f) }' \
  || fail "GPU passes add up to $passes ms, the GPU frame takes $(median frame) ms"
awk -v s="$passes" -v f="$frame" 'BEGIN { exit !(s <= f * 1.1) }' \
  || fail "GPU passes add up to $passes ms, the frame takes $frame ms"
grep -q "GPU shadow" "$log" || fail "the figures were not printed"
if [ "${#plot[@]}" -gt 0 ]; then
  [ "$(picture_size "$out/plot.png")" = 960x480 ] || fail "no 960x480 plot"
fi
echo "passed"
