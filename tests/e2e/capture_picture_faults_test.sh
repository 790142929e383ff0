#!/usr/bin/env bash
# The picture test still bites: with each fault below planted in a copy of
# the run layout, some moment of the film must differ from its reference by
# the picture test's own measure, or the tolerance has grown too loose to
# guard the film.
#   light   the orbiting light left out of the lighting sum
#   camera  every moment captured one timeline step (1/30 s) later
#   bloom   the composition without its bloom
#   fade    a full picture drawn at 0.9 of its brightness
source "$(dirname "$0")/capture_lib.sh"
source "$(dirname "$0")/film_moments.sh"
references="$(cd "$(dirname "$0")/../references" && pwd)"
stage
pristine="$work/pristine"
cp -r "$run_dir" "$pristine"

# plant FAULT: edits the run layout; sed fails the test if a pattern is gone,
# since a plant that changes nothing would pass for a caught fault.
plant() {
  rm -rf "$run_dir" && cp -r "$pristine" "$run_dir"
  local shaders=("$run_dir"/Shader/*.frag "$run_dir"/Shader/*.glsl)
  case "$1" in
    light) edit 's/for (int i = 0; i < count; ++i)/for (int i = 1; i < count; ++i)/' "${shaders[@]}" ;;
    bloom) edit 's/BLOOM_STRENGTH = 1\.0/BLOOM_STRENGTH = 0.0/' "$run_dir/Shader/PostProcessing/screen.frag" ;;
    fade) edit 's/\* fade, 1\.0)/* fade * 0.9, 1.0)/' "$run_dir/Shader/PostProcessing/screen.frag" ;;
    camera) ;;
  esac
}
edit() {
  local script="$1" changed=0 file; shift
  for file in "$@"; do
    [ -f "$file" ] || continue
    if [ -n "$(sed -n "${script}p" "$file")" ]; then
      sed -i "$script" "$file"
      changed=1
    fi
  done
  [ "$changed" = 1 ] || fail "the planted fault '$script' matches no shader: update the plant"
}

# The moments' seconds, one step later for the camera fault.
seconds_of() {
  local name="$1" late="$2"
  awk -v t="${film_moment_seconds[$name]}" -v s="$late" -v f="$film_fps" 'BEGIN { printf "%.4f", t + s / f }'
}

for fault in light camera bloom fade; do
  plant "$fault"
  late=0
  [ "$fault" = camera ] && late=1
  at=""
  for name in "${film_moment_names[@]}"; do at="$at${at:+,}$(seconds_of "$name" "$late")"; done
  capture --size 1024x600 --fps "$film_fps" --at "$at" --out "$out/$fault" || fail "capture with '$fault' planted exited with $?"
  caught=()
  for name in "${film_moment_names[@]}"; do
    file="$(awk -v t="$(seconds_of "$name" "$late")" -v f="$film_fps" 'BEGIN { printf "frame-%06d.png", int(t * f + 0.5) }')"
    # shellcheck disable=SC2086
    if ! figures="$(film_compare "$name" "$out/$fault/$file" "$references/film-$name.png" \
      "$out/$fault-$name.png" ${film_moment_shape[$name]})"; then
      caught+=("$name")
    fi
    echo "$fault, $figures"
  done
  [ "${#caught[@]}" -gt 0 ] || fail "the picture test lets '$fault' through: no moment differs from its reference"
  echo "$fault: caught at ${caught[*]}"
done
echo "passed"
