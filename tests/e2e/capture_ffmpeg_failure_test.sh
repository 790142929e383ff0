#!/usr/bin/env bash
# A video that cannot be written: into a missing folder, over a directory,
# into a folder without write permission, or by an ffmpeg that dies part way
# through or is killed when it should finish. The capture names the video and
# the cause in one line, exits with 1, prints no success line and leaves
# nothing behind but ffmpeg's log.
source "$(dirname "$0")/capture_lib.sh"
stage

check_failed_video() {
  local what="$1" video="$2" cause="$3" code=0 before
  before="$(cd "$out" && find . | sort)"
  capture --from 2 --to 3 --size 128x75 --video "$video" || code=$?
  [ "$code" = 1 ] || fail "$what: exit code $code, expected 1"
  [ "$(grep -c '^tolvane-capture: ' "$log")" = 1 ] || fail "$what: expected one line from the capture"
  grep -qF "tolvane-capture: cannot write $video: $cause" "$log" || fail "$what: no line naming $video and '$cause'"
  grep -q '^Video:' "$log" && fail "$what: a success line was printed"
  [ "$(cd "$out" && find . ! -name '*.ffmpeg.log' | sort)" = "$before" ] \
    || fail "$what: left behind: $(cd "$out" && find . -newer "$log")"
  chmod -R u+w "$out" && rm -rf "$out" && mkdir -p "$out"
}

if command -v ffmpeg >/dev/null; then
  check_failed_video "missing folder" "$out/missing/film.mp4" "the folder $out/missing does not exist"
  mkdir "$out/film.mp4"
  check_failed_video "a directory" "$out/film.mp4" "Is a directory"
  # Root writes anywhere unless it gives up the capability to override modes.
  capture_prefix=()
  [ "$(id -u)" = 0 ] && capture_prefix=(setpriv --bounding-set -dac_override,-dac_read_search)
  mkdir "$out/locked" && chmod a-w "$out/locked"
  if "${capture_prefix[@]}" touch "$out/locked/probe" 2>/dev/null; then
    echo "note: cannot take write permission away here; that case is not checked"
    rm -rf "$out/locked"
  else
    check_failed_video "no write permission" "$out/locked/film.mp4" "Permission denied"
  fi
  capture_prefix=()
fi

mkdir -p "$work/bin"
export PATH="$work/bin:$PATH"
fake_ffmpeg() {
  printf '#!/usr/bin/env bash\n%s\n' "$1" > "$work/bin/ffmpeg"
  chmod +x "$work/bin/ffmpeg"
}
fake_ffmpeg 'head -c 50000 >/dev/null; exit 1'
check_failed_video "ffmpeg dying" "$out/film.mp4" "ffmpeg stopped taking frames"
fake_ffmpeg 'cat >/dev/null; kill -9 $$'
check_failed_video "ffmpeg killed" "$out/film.mp4" "ffmpeg failed"
echo "passed"
