#!/usr/bin/env bash
# Tolvane on this machine's graphics hardware, with no X server, in about five
# minutes: lists the EGL devices and the GL renderer EGL draws with, runs the
# film bench, tolvane-bench with the reference passes, at 1024x600 and
# 1920x1080, captures the five reference moments of the film at 1024x600 and
# compares them with the references drawn by Mesa's llvmpipe. Everything
# goes into one folder; summary.txt holds what the console showed.
#
# Every run asks for a debug context (TOLVANE_GL_DEBUG=1): the driver's own
# messages, the lines starting "GL debug:", go into gl-debug.txt, and
# summary.txt counts them by type and severity. A program without that switch
# simply prints none.
#
# Usage: scripts/gpu-check.sh [OUTPUT_DIR]   (default build/gpu-check)
# Exit code: 0 when every step ran and every moment is within tolerance.
#
# On a software device (no graphics card) the bench plays a shorter stretch
# so that the whole check still fits in five minutes, and the moments are
# also drawn by a second software stack, Mesa's zink over lavapipe (the one
# the picture tests use), when lavapipe is installed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
capture="$build_dir/bin/tolvane-capture"
bench="$build_dir/bin/tolvane-bench"
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
# Every capture and bench runs through EGL with no display, from the run
# directory, with a debug context and whatever capture_environment adds, for
# at most LIMIT seconds: run_capture LIMIT OPTIONS..., run_bench LIMIT OPTIONS...
export TOLVANE_GL_DEBUG=1
capture_environment=()
run_capture() {
  local limit="$1"; shift
  (cd "$run_dir" && env -u DISPLAY "${capture_environment[@]}" timeout "$limit" "$capture" --gl egl --quiet "$@")
}
run_bench() {
  local limit="$1"; shift
  (cd "$run_dir" && env -u DISPLAY "${capture_environment[@]}" timeout "$limit" "$bench" --gl egl --quiet "$@")
}
# A step's console without the driver's messages, which have their own file.
console() { grep -v '^GL debug:' "$1"; }

echo "== Tolvane GPU check, $(date -u '+%Y-%m-%d %H:%M UTC'), into $out"
echo "Machine: $(uname -srm), $(nproc) CPUs"
command -v lspci >/dev/null && lspci | grep -Ei 'vga|3d|display' | sed 's/^/PCI: /'
command -v nvidia-smi >/dev/null && nvidia-smi -L | sed 's/^/nvidia-smi: /'
ls /dev/dri 2>/dev/null | tr '\n' ' ' | sed 's|^|/dev/dri: |; s/ $/\n/'
for program in "$capture" "$bench"; do
  [ -x "$program" ] || { echo "No $program: build first (scripts/setup.sh)."; exit 1; }
done

echo
echo "== EGL devices"
if ! run_capture 60 --list-devices >"$out/devices.txt" 2>&1; then
  console "$out/devices.txt"
  echo "EGL cannot draw here, so nothing else can be checked."
  exit 1
fi
console "$out/devices.txt"
software=0
grep -q '^Chosen: EGL hardware' "$out/devices.txt" || software=1
[ "$software" = 1 ] && echo "No graphics card was chosen: this run measures a software renderer."

echo
echo "== Bench"
stretch=(--from 3 --to 13)
[ "$software" = 1 ] && stretch=(--from 3 --to 3.2)
for size in 1024x600 1920x1080; do
  echo "-- bench at $size, demo seconds ${stretch[1]} to ${stretch[3]}"
  if run_bench 240 --reference "${stretch[@]}" --size "$size" --json "$out/bench-$size.json" \
      >"$out/bench-$size.txt" 2>&1; then
    console "$out/bench-$size.txt" | sed -n '/^Bench/,$p' | grep -v '^$'
  else
    console "$out/bench-$size.txt" | tail -n 3
    problem "the bench at $size failed or ran out of time"
  fi
done

# Captures the moments into FOLDER and compares each with its reference,
# allowing PER_MILLE: check_moments FOLDER PER_MILLE. The console goes to
# FOLDER.txt.
check_moments() {
  local folder="$1" frames="$out/$1" tolerance_permille="$2"
  mkdir -p "$frames"
  if ! run_capture 240 "${film_capture_options[@]}" --out "$frames" \
      --loading-screen "$frames/loading.png" >"$out/$folder.txt" 2>&1; then
    console "$out/$folder.txt" | tail -n 3
    problem "the capture of the moments into $folder failed or ran out of time"
  fi
  # shellcheck disable=SC2086
  compare_moment loading "$frames/loading.png" $film_loading_shape
  for name in "${film_moment_names[@]}"; do
    # shellcheck disable=SC2086
    compare_moment "$name" "$frames/$(film_moment_file "$name")" ${film_moment_shape[$name]}
  done
}
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
echo
echo "== Reference moments at 1024x600 against llvmpipe's"
check_moments moments "$tolerance_permille"

if [ "$software" = 1 ]; then
  echo
  echo "== The same moments on zink over lavapipe (held to the picture tests' 3 per mille)"
  if ! compgen -G '/usr/share/vulkan/icd.d/lvp_icd*.json' >/dev/null \
      && ! compgen -G '/etc/vulkan/icd.d/lvp_icd*.json' >/dev/null; then
    echo "lavapipe, Mesa's Vulkan software driver (Debian package mesa-vulkan-drivers), is not installed: skipped."
  else
    runtime="$(mktemp -d)"
    capture_environment=(LIBGL_ALWAYS_SOFTWARE=1 MESA_LOADER_DRIVER_OVERRIDE=zink XDG_RUNTIME_DIR="$runtime")
    check_moments moments-zink 3
    capture_environment=()
    rm -rf "$runtime"
    zink_renderer="$(sed -n 's/^Rendering with \(.*\) by .*/\1/p' "$out/moments-zink.txt")"
    echo "Drawn with: ${zink_renderer:-no renderer named}"
    [[ "$zink_renderer" == zink* ]] || problem "the zink run did not draw with zink"
  fi
fi

echo
echo "== The driver's debug messages (TOLVANE_GL_DEBUG=1)"
for step in "$out"/devices.txt "$out"/bench-*.txt "$out"/moments*.txt; do
  [ -f "$step" ] || continue
  grep '^GL debug:' "$step" | sed "s|^|$(basename "$step" .txt): |"
done >"$out/gl-debug.txt"
if [ ! -s "$out/gl-debug.txt" ]; then
  echo "None (this build may not have the switch yet)."
else
  echo "$(wc -l <"$out/gl-debug.txt") messages in $out/gl-debug.txt; by step:"
  cut -d: -f1 "$out/gl-debug.txt" | sort | uniq -c | sed 's/^ */  /'
  echo "By type and severity:"
  # The GL names (GL_DEBUG_TYPE_ERROR) or the words after "type" and "severity".
  sed 's/^[^:]*: GL debug://' "$out/gl-debug.txt" | awk '{
    line = $0; type = "?"; severity = "?"
    if (match(line, /DEBUG_TYPE_[A-Z_]+/)) type = substr(line, RSTART + 11, RLENGTH - 11)
    else if (match(line, /[Tt]ype[=: ]+[A-Za-z_]+/)) { type = substr(line, RSTART, RLENGTH); sub(/^[Tt]ype[=: ]+/, "", type) }
    if (match(line, /DEBUG_SEVERITY_[A-Z_]+/)) severity = substr(line, RSTART + 15, RLENGTH - 15)
    else if (match(line, /[Ss]everity[=: ]+[A-Za-z_]+/)) { severity = substr(line, RSTART, RLENGTH); sub(/^[Ss]everity[=: ]+/, "", severity) }
    count[toupper(type) " / " toupper(severity)]++
  } END { for (k in count) printf "  %6d  %s\n", count[k], k }' | sort -rn
fi

echo
echo "== Done in $((SECONDS - started)) s with $problems problem(s); everything is in $out"
[ "$problems" = 0 ]
