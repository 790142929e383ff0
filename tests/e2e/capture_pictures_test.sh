#!/usr/bin/env bash
# Picture regression: the loading screen and a few moments of the film (the
# hut after the fade-in, a torch flame close up, the camp fire, the credits)
# against the references in tests/references, within the tolerance that
# film_moments.sh sets out. On a failure the reference, the new picture and
# their difference are written side by side into $TOLVANE_PICTURE_DIFF_DIR
# (default: beside the build's bin).
source "$(dirname "$0")/capture_lib.sh"
source "$(dirname "$0")/film_moments.sh"
references="$(cd "$(dirname "$0")/../references" && pwd)"
diff_dir="${TOLVANE_PICTURE_DIFF_DIR:-$TOLVANE_BIN_DIR/../picture-diffs}"
if [ "${TOLVANE_CAPTURE_GL:-}" = zink ]; then require_zink; fi
# With a debug context: the driver's own checks run on every call.
export TOLVANE_GL_DEBUG=1
stage

capture "${film_capture_options[@]}" --out "$out/frames" --loading-screen "$out/loading.png" \
  || fail "capture exited with $?"
if [ "${TOLVANE_CAPTURE_GL:-}" = zink ]; then require_zink_drew; fi

failures=()
check() {
  local name="$1" captured="$2"; shift 2
  local shaped="$out/$name.png" reference="$references/film-$name.png"
  if ! film_compare "$name" "$captured" "$reference" "$shaped" "$@"; then
    [ -f "$shaped" ] || { failures+=("$name: not captured"); return; }
    mkdir -p "$diff_dir"
    compare "$reference" "$shaped" "$out/$name-diff.png" 2>/dev/null || true
    convert "$reference" "$shaped" "$out/$name-diff.png" +append "$diff_dir/film-$name.png"
    failures+=("$name: differs, see $diff_dir/film-$name.png (reference | new | difference)")
  fi
}

# shellcheck disable=SC2086
check loading "$out/loading.png" $film_loading_shape
for name in "${film_moment_names[@]}"; do
  # shellcheck disable=SC2086
  check "$name" "$out/frames/$(film_moment_file "$name")" ${film_moment_shape[$name]}
done
[ "${#failures[@]}" = 0 ] || fail "$(printf '%s\n' "${failures[@]}")"
no_gl_errors || fail "OpenGL errors were printed"
grep -q '^GL debug: on' "$log" || fail "no debug context: the driver's messages went unseen"
no_serious_driver_messages || fail "the driver reported errors or high-severity messages"
echo "passed"
