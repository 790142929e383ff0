#!/usr/bin/env bash
# tolvane-bench's JSON holds every figure, the GPU passes add up to no more
# than the frame, and the plot is drawn when gnuplot is there.
source "$(dirname "$0")/capture_lib.sh"
stage

plot=()
command -v gnuplot >/dev/null && plot=(--plot "$out/plot.png")
bench --from 3 --to 3.5 --fps 20 --size 256x150 --json "$out/bench.json" "${plot[@]}" \
  || fail "bench exited with $?"
json="$out/bench.json"
[ -s "$json" ] || fail "no JSON written"

# Every figure under its key, read as JSON; the GPU passes lie within the
# frame's span, so their sum's median cannot exceed the span's (the wall
# clock measures a slightly different span).
python3 - "$json" <<'PYTHON' || fail "the JSON lacks a figure or its figures disagree"
import json, sys
report = json.load(open(sys.argv[1]))
def median(entry):
    assert entry["median"] >= 0 and entry["p95"] >= entry["median"], entry
    return entry["median"]
gpu = report["gpu_ms"]
for name in ("shadow", "scene", "particles", "blur", "composition", "overlays", "passes", "frame"):
    median(gpu[name])
for name in ("update", "particle_readback"):
    median(report["cpu_ms"][name])
for name in ("overlays", "model_import", "textures", "rest", "total"):
    assert report["startup_ms"][name] >= 0, name
assert report["frames"] == 10 and report["width"] == 256, report
passes, frame = median(gpu["passes"]), median(gpu["frame"])
assert 0 < passes <= frame, (passes, frame)
assert passes <= median(report["frame_ms"]) * 1.1, (passes, report["frame_ms"])
PYTHON
grep -q "GPU shadow" "$log" || fail "the figures were not printed"
if [ "${#plot[@]}" -gt 0 ]; then
  [ "$(picture_size "$out/plot.png")" = 960x480 ] || fail "no 960x480 plot"
fi
echo "passed"
