#!/usr/bin/env bash
# Regenerates the film's reference pictures, tests/references/film-*.png, from
# the current build: the loading screen and the frames at the moments listed
# in tests/e2e/film_moments.sh, made small to keep the repository light. Run it after a deliberate change to the picture, look at
# the new files, and commit them with the change.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
references="$root/tests/references"
source "$root/tests/e2e/film_moments.sh"

scratch="$(mktemp -d /tmp/tolvane-references-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
# Without a display the capture draws through EGL, which gives the same
# pictures as the GLFW window on the same Mesa.
(cd "$build_dir/stage/Tolvane" && "$build_dir/bin/tolvane-capture" --quiet \
  "${film_capture_options[@]}" --out "$scratch/frames" --loading-screen "$scratch/loading.png" >"$scratch/console.log" 2>&1) \
  || { cat "$scratch/console.log" >&2; echo "capture failed" >&2; exit 1; }

# shellcheck disable=SC2086
film_shape "$scratch/loading.png" "$references/film-loading.png" $film_loading_shape
for name in "${film_moment_names[@]}"; do
  # shellcheck disable=SC2086
  film_shape "$scratch/frames/$(film_moment_file "$name")" "$references/film-$name.png" ${film_moment_shape[$name]}
done
echo "Updated: $(cd "$references" && ls film-*.png | tr '\n' ' ')"
