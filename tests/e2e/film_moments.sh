# The moments of the film that the picture tests compare with the references
# in tests/references, shared by the test and scripts/update-film-references.sh.
# Times are demo seconds (0 = loading finished; the film fades in from 2 s),
# at the film's own pace, 30 timeline steps a second, drawn at 30 frames a
# second on every device so that they compare.
# Frames are captured at the demo's own 1024x600, the size the credits are
# laid out for, and kept small: scaled down to 256x150, or for the flame
# and the loading text a full-resolution crop.

film_moment_names=(hut flame fire credits)
declare -A film_moment_seconds=([hut]=4 [flame]=23.4 [fire]=68.7 [credits]=100)
# ImageMagick geometry applied to each captured frame.
declare -A film_moment_shape=(
  [hut]="-filter box -resize 256x150!"
  [flame]="-crop 128x128+342+196 +repage"
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
