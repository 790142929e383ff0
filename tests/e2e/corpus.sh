#!/usr/bin/env bash
# Third-party test files (models, images and XML from other projects' test
# suites) in place of one input of the real program: the model, a texture of
# the hut, the flame sprite sheet or the first camera path. Each run must end
# by itself with 0 or 255 within the time limit, not by a signal, and print
# no OpenGL error. The files stay where they are (../shared/corpus beside
# the repository, or TOLVANE_CORPUS_DIR); without them the test is skipped.
# By default every eighth file of the manifest is fed; TOLVANE_CORPUS=all
# feeds them all.
# Usage: corpus.sh model|texture|sprite|campath
source "$(dirname "$0")/capture_lib.sh"
role="$1"
corpus="${TOLVANE_CORPUS_DIR:-$(cd "$(dirname "$0")/../../.." && pwd)/shared/corpus}"
[ -f "$corpus/MANIFEST.tsv" ] || { echo "skipped: no third-party files at $corpus"; exit 77; }
limit=120

stage
case "$role" in
  model) rm "$work/Models"; mkdir "$work/Models"; target="$work/Models/hut_150k_scaled_w.fbx" ;;
  texture | sprite)
    rm "$work/Textures"; cp -r "$TOLVANE_STAGE_DIR/Textures" "$work/Textures"
    target="$work/Textures/$([ "$role" = texture ] && echo hut_wall.png || echo flame_sprite2.png)" ;;
  campath) target="$run_dir/campath1.xml" ;;
  *) echo "unknown role $role" >&2; exit 2 ;;
esac

files=()
while IFS=$'\t' read -r file _; do files+=("$file"); done < <(tail -n +2 "$corpus/MANIFEST.tsv")
failures=()
fed=0
for i in "${!files[@]}"; do
  [ "${TOLVANE_CORPUS:-}" = all ] || [ $((i % 8)) = 0 ] || continue
  file="${files[$i]}"
  cp "$corpus/$file" "$target"
  rm -rf "$out" && mkdir -p "$out"
  code=0
  (cd "$run_dir" && exec timeout -s KILL "$limit" "$capture_program" --quiet --at 4 --size 96x56 --out "$out" \
     </dev/null >"$log" 2>&1) || code=$?
  fed=$((fed + 1))
  problem=""
  case "$code" in
    0 | 255) ;;
    137) problem="no end within $limit s" ;;
    *) problem="exit code $code" ;;
  esac
  grep -q '^OpenGL Error:' "$log" && problem="${problem:+$problem, }OpenGL error"
  if [ -n "$problem" ]; then
    failures+=("$file: $problem")
    echo "---- $file as the $role: $problem ----"; tail -n 5 "$log"
  fi
done
[ "${#failures[@]}" = 0 ] || { printf 'FAIL: %s\n' "${failures[@]}" >&2; exit 1; }
echo "passed: $fed files as the $role"
