#!/usr/bin/env bash
# Tolvane on this machine's graphics hardware, with no X server, in about five
# minutes: lists the EGL devices and the GL renderer EGL draws with, runs the
# bench (with the reference passes when this build has them) at 1024x600 and
# 1920x1080, captures the five reference moments of the film at 1024x600 and
# compares them with the references drawn by Mesa's llvmpipe. Everything
# goes into one folder; summary.txt holds what the console showed.
#
# Usage: scripts/gpu-check.sh [OUTPUT_DIR]   (default build/gpu-check)
# Exit code: 0 when every step ran and every moment is within tolerance.
#
# On a software device (no graphics card) the bench plays a shorter stretch
# so that the whole check still fits in five minutes.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
capture="$build_dir/bin/tolvane-capture"
run_dir="$build_dir/stage/Tolvane"
references="$root/tests/references"
out="$(mkdir -p "${1:-$build_dir/gpu-check}" && cd "${1:-$build_dir/gpu-check}" && pwd)"
source "$root/tests/e2e/film_moments.sh"

# A moment matches the llvmpipe reference when at most this share of its
# pixels (per mille) is further than fuzz_percent away. Mesa's softpipe, a
# different rasteriser, stays under 3 per mille; a graphics card also rounds
# its blur and lighting sums differently and may place the GPU-simulated
# particles elsewhere, so it gets more room. Past it, look at the side by side.
fuzz_percent=4
tolerance_permille=20

exec > >(tee "$out/summary.txt") 2>&1
started=$SECONDS
problems=0
problem() { echo "PROBLEM: $*"; problems=$((problems + 1)); }
# Every capture runs through EGL with no display, from the run directory,
# for at most LIMIT seconds: run_capture LIMIT OPTIONS...
run_capture() {
  local limit="$1"; shift
  (cd "$run_dir" && env -u DISPLAY timeout "$limit" "$capture" --gl egl --quiet "$@")
}

echo "== Tolvane GPU check, $(date -u '+%Y-%m-%d %H:%M UTC'), into $out"
echo "Machine: $(uname -srm), $(nproc) CPUs"
command -v lspci >/dev/null && lspci | grep -Ei 'vga|3d|display' | sed 's/^/PCI: /'
command -v nvidia-smi >/dev/null && nvidia-smi -L | sed 's/^/nvidia-smi: /'
ls /dev/dri 2>/dev/null | tr '\n' ' ' | sed 's|^|/dev/dri: |; s/ $/\n/'
[ -x "$capture" ] || { echo "No $capture: build first (scripts/setup.sh)."; exit 1; }

echo
echo "== EGL devices"
if ! run_capture 60 --list-devices >"$out/devices.txt" 2>&1; then
  cat "$out/devices.txt"
  echo "EGL cannot draw here, so nothing else can be checked."
  exit 1
fi
cat "$out/devices.txt"
software=0
grep -q '^Chosen: EGL hardware' "$out/devices.txt" || software=1
[ "$software" = 1 ] && echo "No graphics card was chosen: this run measures a software renderer."

echo
echo "== Bench"
reference=(--reference)
if ! "$capture" --help | grep -q -- '--reference'; then
  reference=()
  echo "This tolvane-capture has no --reference (it comes with the performance work); benching without the reference passes."
fi
stretch=(--from 3 --to 13)
[ "$software" = 1 ] && stretch=(--from 3 --to 3.2)
for size in 1024x600 1920x1080; do
  echo "-- bench at $size, demo seconds ${stretch[1]} to ${stretch[3]}"
  if run_capture 240 --bench "${reference[@]}" "${stretch[@]}" --size "$size" --json "$out/bench-$size.json" \
      >"$out/bench-$size.txt" 2>&1; then
    sed -n '/^Bench/,$p' "$out/bench-$size.txt" | grep -v '^$'
  else
    tail -n 3 "$out/bench-$size.txt"
    problem "the bench at $size failed or ran out of time"
  fi
done

echo
echo "== Reference moments at 1024x600 against llvmpipe's"
frames="$out/moments"
mkdir -p "$frames"
if ! run_capture 240 "${film_capture_options[@]}" --out "$frames" --loading-screen "$frames/loading.png" \
    >"$out/moments.txt" 2>&1; then
  tail -n 3 "$out/moments.txt"
  problem "the capture of the moments failed or ran out of time"
fi
compare_moment() {
  local name="$1" captured="$2"; shift 2
  local shaped="$frames/$name-shaped.png" reference="$references/film-$name.png"
  [ -f "$captured" ] || { problem "$name was not captured"; return; }
  film_shape "$captured" "$shaped" "$@"
  local differing total exact
  differing="$(compare -metric AE -fuzz "${fuzz_percent}%" "$reference" "$shaped" null: 2>&1)"
  exact="$(compare -metric AE "$reference" "$shaped" null: 2>&1)"
  total="$(identify -format '%[fx:w*h]' "$reference")"
  compare "$reference" "$shaped" "$frames/$name-diff.png" 2>/dev/null
  convert "$reference" "$shaped" "$frames/$name-diff.png" +append "$frames/$name-side-by-side.png"
  local permille
  permille="$(awk -v d="$differing" -v t="$total" 'BEGIN { printf "%.1f", d * 1000 / t }')"
  printf '%-8s %5.1f per mille of pixels further than %d%%, %5.1f per mille differ at all\n' "$name" "$permille" \
    "$fuzz_percent" "$(awk -v d="$exact" -v t="$total" 'BEGIN { printf "%.1f", d * 1000 / t }')"
  awk -v p="$permille" -v t="$tolerance_permille" 'BEGIN { exit !(p <= t) }' \
    || problem "$name differs beyond $tolerance_permille per mille: see $frames/$name-side-by-side.png (reference | here | difference)"
}
# shellcheck disable=SC2086
compare_moment loading "$frames/loading.png" $film_loading_shape
for name in "${film_moment_names[@]}"; do
  # shellcheck disable=SC2086
  compare_moment "$name" "$frames/$(film_moment_file "$name")" ${film_moment_shape[$name]}
done

echo
echo "== Done in $((SECONDS - started)) s with $problems problem(s); everything is in $out"
[ "$problems" = 0 ]
