# The moments of the film that the picture tests compare with the references
# in tests/references, shared by the test and scripts/update-film-references.sh.
# Times are demo seconds (0 = loading finished; the film fades in from 2 s),
# at the film's own pace, 30 timeline steps a second, drawn at 30 frames a
# second on every device so that they compare.
# Frames are captured at the demo's own 1024x600, the size the credits are
# laid out for, and kept small: scaled down to 256x150, or for the flame
# and the loading text a full-resolution crop.

film_moment_names=(hut flame fire credits)
declare -A film_moment_seconds=([hut]=4 [flame]=20 [fire]=75 [credits]=100)
# ImageMagick geometry applied to each captured frame.
declare -A film_moment_shape=(
  [hut]="-filter box -resize 256x150!"
  [flame]="-crop 128x128+738+219 +repage"
  [fire]="-filter box -resize 256x150!"
  [credits]="-filter box -resize 256x150!"
)
film_loading_shape="-crop 256x64+0+0 +repage"
film_fps=30
film_capture_options=(--size 1024x600 --fps "$film_fps"
  --at "$(IFS=,; for n in "${film_moment_names[@]}"; do printf '%s,' "${film_moment_seconds[$n]}"; done | sed 's/,$//')")

# The captured file of a moment.
film_moment_file() {
  awk -v t="${film_moment_seconds[$1]}" -v f="$film_fps" 'BEGIN { printf "frame-%06d.png", int(t * f + 0.5) }'
}

# Shapes a captured picture like its reference: film_shape IN OUT OPERATIONS...
film_shape() {
  local input="$1" output="$2"; shift 2
  convert "$input" "$@" -strip "$output"
}

# How far a moment may stray from its reference. A pixel counts as different
# when it lies further than film_fuzz_percent of the full range from the
# reference; a picture differs when more than film_max_differing_permille of
# its pixels do. Chosen from measured noise and measured faults:
# - llvmpipe gives identical pictures run after run, with 128-bit vectors or
#   one rasteriser thread alike. Mesa 25's llvmpipe (LLVM 19) against the
#   references made with Mesa 22's (LLVM 15): at most 0.9 per mille of a
#   picture beyond 8% (the hut); zink on lavapipe there 1.7 in the credits'
#   glyph edges.
# - Planted faults, beyond 8%: the orbiting light missing 59 (fire) and 187
#   (hut) per mille; the camera one step further on its path 3.3 (hut) to
#   13.6 (fire); bloom off 3.1 (flame) to 29 (hut); the fade at 0.9 instead
#   of 1, 4.3 (flame) to 30 (fire). capture_picture_faults_test plants each
#   of them and prints these figures.
film_fuzz_percent="${TOLVANE_PICTURE_FUZZ:-8}"
film_max_differing_permille="${TOLVANE_PICTURE_PERMILLE:-3}"

# Compares one captured moment, shaped like its reference, with the
# reference: film_compare NAME CAPTURED REFERENCE SHAPED OPERATIONS...
# Prints a line of figures; fails when the picture differs (see above).
film_compare() {
  local name="$1" captured="$2" reference="$3" shaped="$4"; shift 4
  [ -f "$captured" ] || { echo "$name: not captured"; return 1; }
  film_shape "$captured" "$shaped" "$@"
  local differing total
  differing="$(compare -metric AE -fuzz "${film_fuzz_percent}%" "$reference" "$shaped" null: 2>&1 || true)"
  total="$(identify -format '%[fx:w*h]' "$reference")"
  echo "$name: $differing of $total pixels differ by more than $film_fuzz_percent%"
  awk -v d="$differing" -v t="$total" -v p="$film_max_differing_permille" \
    'BEGIN { exit !(d ~ /^[0-9.e+]+$/ && d * 1000 <= t * p) }'
}
