#!/usr/bin/env bash
# ffmpeg that dies part way through, or is killed when it should finish: the
# capture names the video and the cause in one line, exits with 1, prints no
# success line and leaves no video or temporary file behind.
source "$(dirname "$0")/capture_lib.sh"
stage
mkdir -p "$work/bin"
export PATH="$work/bin:$PATH"

fake_ffmpeg() {
  printf '#!/usr/bin/env bash\n%s\n' "$1" > "$work/bin/ffmpeg"
  chmod +x "$work/bin/ffmpeg"
}

check_failed_video() {
  local what="$1" cause="$2" code=0
  capture --from 2 --to 3 --size 128x75 --video "$out/film.mp4" || code=$?
  [ "$code" = 1 ] || fail "$what: exit code $code, expected 1"
  [ "$(grep -c '^tolvane-capture: ' "$log")" = 1 ] || fail "$what: expected one line from the capture"
  grep -q "^tolvane-capture: cannot write $out/film.mp4.*$cause" "$log" || fail "$what: no line naming the video and '$cause'"
  grep -q '^Video:' "$log" && fail "$what: a success line was printed"
  ls "$out" | grep -qv '\.ffmpeg\.log$' && fail "$what: left behind: $(ls "$out")"
  rm -rf "$out" && mkdir -p "$out"
}

fake_ffmpeg 'head -c 50000 >/dev/null; exit 1'
check_failed_video "ffmpeg dying" "ffmpeg stopped taking frames"
fake_ffmpeg 'cat >/dev/null; kill -9 $$'
check_failed_video "ffmpeg killed" "ffmpeg failed"
echo "passed"
