#!/usr/bin/env bash
# The capture and the bench on a file system that fills up: every output it cannot write
# whole is named in one line with the cause, the exit code is not 0, no
# success line is printed, and no broken file is left under an output's name.
# Needs a small tmpfs; skipped (code 77) where mounting is not permitted.
source "$(dirname "$0")/capture_lib.sh"
disk="$(mktemp -d /tmp/tolvane-disk-XXXXXX)"
mount_disk() { mount -t tmpfs -o "size=$1" tmpfs "$disk" 2>/dev/null; }
release_disk() { umount "$disk" 2>/dev/null || true; }
trap 'release_disk; rmdir "$disk" 2>/dev/null; cleanup' EXIT
mount_disk 64k || { echo "skipped: cannot mount a tmpfs here"; exit 77; }
release_disk
stage

# Exactly one line of $log reports a failure to write $1, from the program
# $2 (tolvane-capture when not given).
one_failure_line() {
  local writer="${2:-tolvane-capture}"
  [ "$(grep -c "^$writer: cannot write " "$log")" = 1 ] || fail "expected one failure line"
  grep -qF "$writer: cannot write $1" "$log" || fail "no failure line naming $1"
}
complete_png() { [ "$(tail -c 12 "$1" | od -An -tx1 | tr -d ' \n')" = 0000000049454e44ae426082 ]; }

# Frames: the disk holds a few, then fills up part way through one.
mount_disk 200k
code=0; capture --from 2 --to 3 --size 256x150 --out "$disk/frames" || code=$?
[ "$code" = 1 ] || fail "frames on a full disk: exit code $code, expected 1"
one_failure_line "$disk/frames/frame-"
grep -q "No space left on device" "$log" || fail "the cause is not given"
grep -q '^Frames:' "$log" && fail "a success line was printed"
kept="$(ls "$disk/frames" | wc -l)"
[ "$kept" -ge 2 ] || fail "only $kept frames were written before the disk filled"
for png in "$disk/frames"/*; do complete_png "$png" || fail "$png is incomplete"; done
release_disk

# Video: ffmpeg runs out of room while encoding (and may still exit 0), or
# when the music is added; the line gives the cause ffmpeg met.
# The encoded film of this stretch takes about 60 kB, with the music 110.
if command -v ffmpeg >/dev/null; then
  for room in 40k 128k; do
    mount_disk "$room"
    code=0; capture --from 2 --to 4 --size 256x150 --video "$disk/film.mp4" || code=$?
    [ "$code" = 1 ] || fail "video on a $room disk: exit code $code, expected 1"
    one_failure_line "$disk/film.mp4: No space left on device"
    grep -q '^Video:' "$log" && fail "a success line was printed over the video"
    [ ! -e "$disk/film.mp4" ] || fail "a broken video was left behind on a $room disk"
    ls "$disk" | grep -q '\.tmp$' && fail "the temporary video was left behind on a $room disk"
    grep -q "No space left on device" "$disk/film.mp4.ffmpeg.log" || fail "ffmpeg's log was not kept beside the video"
    release_disk
  done
fi

# Files written at the end, on a disk already full: sheet, JSON and plot.
mount_disk 64k
dd if=/dev/zero of="$disk/filler" bs=4k 2>/dev/null || true
code=0; capture --from 2 --to 2.2 --size 128x75 --sheet "$disk/sheet.png" || code=$?
[ "$code" = 1 ] || fail "sheet on a full disk: exit code $code, expected 1"
one_failure_line "$disk/sheet.png"
[ ! -e "$disk/sheet.png" ] || fail "sheet.png was left behind"
grep -q '^Contact sheet:' "$log" && fail "a success line was printed over the sheet"
code=0; bench --from 2 --to 2.2 --size 128x75 --json "$disk/bench.json" --plot "$disk/plot.png" || code=$?
[ "$code" = 1 ] || fail "report on a full disk: exit code $code, expected 1"
for file in bench.json plot.png; do
  grep -qF "tolvane-bench: cannot write $disk/$file" "$log" || grep -qF "cannot write $disk/plot.png.data.tmp" "$log" \
    || fail "no failure line for $file"
  [ ! -e "$disk/$file" ] || fail "$file was left behind"
done

# The loading-screen picture and the census.
code=0; capture --to 0.1 --size 128x75 --loading-screen "$disk/loading.png" || code=$?
[ "$code" = 1 ] || fail "loading screen on a full disk: exit code $code, expected 1"
one_failure_line "$disk/loading.png"
code=0; bench --to 0.1 --size 128x75 --census "$disk/census.txt" || code=$?
[ "$code" = 1 ] || fail "census on a full disk: exit code $code, expected 1"
one_failure_line "$disk/census.txt" tolvane-bench
[ ! -e "$disk/census.txt" ] || fail "a broken census was left behind"
echo "passed"
