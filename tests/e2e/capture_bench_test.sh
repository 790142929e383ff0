#!/usr/bin/env bash
# The bench's JSON holds every figure, the GPU passes add up to no more than
# the frame, and the plot is drawn when gnuplot is there.
source "$(dirname "$0")/capture_lib.sh"
stage

plot=()
command -v gnuplot >/dev/null && plot=(--plot "$out/plot.png")
capture --bench --from 3 --to 3.5 --fps 20 --size 256x150 --json "$out/bench.json" "${plot[@]}" \
  || fail "bench exited with $?"
json="$out/bench.json"
[ -s "$json" ] || fail "no JSON written"

# The median of one entry, e.g. median shadow; each entry is on a line of
# its own.
median() {
  sed -n "s/^ *\"$1\": {\"median\": \([0-9.]*\),.*/\1/p" "$json" | head -n 1
}
for pass in shadow scene particles blur composition overlays frame; do
  [ -n "$(median "$pass")" ] || fail "no GPU median for $pass"
done
for entry in update particle_readback; do
  [ -n "$(median "$entry")" ] || fail "no CPU median for $entry"
done
for key in '"frame_ms": {"median"' '"p95"' '"overlays": [0-9]' '"model_import": [0-9]' '"textures": [0-9]' \
           '"rest": [0-9]' '"total": [0-9]' '"frames": 10,' '"width": 256'; do
  grep -q -- "$key" "$json" || fail "JSON lacks $key"
done
frame="$(sed -n 's/.*"frame_ms": {"median": *\([0-9.]*\).*/\1/p' "$json")"
sum=0
for pass in shadow scene particles blur composition overlays; do
  sum="$(awk -v a="$sum" -v b="$(median "$pass")" 'BEGIN { print a + b }')"
done
awk -v s="$sum" -v f="$frame" 'BEGIN { exit !(s > 0 && s <= f) }' \
  || fail "GPU passes add up to $sum ms, the frame takes $frame ms"
awk -v s="$sum" -v f="$(median frame)" 'BEGIN { exit !(s <= f + 0.001) }' \
  || fail "GPU passes add up to $sum ms, more than the GPU frame"
grep -q "GPU shadow" "$log" || fail "the figures were not printed"
if [ "${#plot[@]}" -gt 0 ]; then
  [ "$(picture_size "$out/plot.png")" = 960x480 ] || fail "no 960x480 plot"
fi
echo "passed"
