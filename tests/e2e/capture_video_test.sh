#!/usr/bin/env bash
# A video with the music starting where the timeline starts it, its tags and
# cover, and a contact sheet. Skipped (passing) without ffmpeg.
source "$(dirname "$0")/capture_lib.sh"
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "skipped: ffmpeg is not installed"; exit 0; }
stage

# The box reader itself, on a file with a 64-bit box size and cut short.
box() { printf "\\x00\\x00\\x00\\x$(printf %02x $((8 + ${#2})))$1$2"; }
{ box ftyp isom; printf '\0\0\0\1mdat\0\0\0\0\0\0\0\x14abcd'; box moov mvhd; } >"$out/boxes.mp4"
[ "$(iso_top_boxes "$out/boxes.mp4" | tr '\n' ' ')" = "ftyp mdat moov " ] || fail "box reader: $(iso_top_boxes "$out/boxes.mp4")"
head -c -1 "$out/boxes.mp4" >"$out/cut.mp4"
iso_top_boxes "$out/cut.mp4" >/dev/null && fail "box reader takes a file cut short"
rm "$out/boxes.mp4" "$out/cut.mp4"

capture --fps 10 --from 1.5 --to 4.5 --size 128x75 --video "$out/film.mp4" --sheet "$out/sheet.png" \
  || fail "video capture exited with $?"
probe() { ffprobe -v error -show_entries "$1" -of default=noprint_wrappers=1:nokey=1 "$out/film.mp4"; }
codecs="$(ffprobe -v error -show_entries stream=codec_type,codec_name,pix_fmt:stream_disposition=attached_pic \
  -of csv=p=0 "$out/film.mp4" | sort)"
[ "$codecs" = "$(printf 'aac,audio,0\nh264,video,yuv420p,0\npng,video,rgb24,1')" ] \
  || fail "streams are not H.264 yuv420p, AAC and a PNG cover: $codecs"
# What a player shows for the film: its name, who made it, and the cover (the
# capture's last frame here, as the film stops before the cover moment).
[ "$(probe format_tags=title)" = "Tolvane" ] || fail "title tag: $(probe format_tags=title)"
[ "$(probe format_tags=artist)" = "The Tolvane developers" ] || fail "artist tag: $(probe format_tags=artist)"
ffmpeg -v error -i "$out/film.mp4" -map 0:v:1 -frames:v 1 -y "$out/cover.png" || fail "no cover to read"
[ "$(picture_size "$out/cover.png")" = "128x75" ] || fail "cover is $(picture_size "$out/cover.png")"
rm "$out/cover.png"
# What every browser plays, and starts to while the file downloads: the index
# (moov) before the media data (mdat).
boxes="$(iso_top_boxes "$out/film.mp4" | tr '\n' ' ')" || fail "film.mp4 is not whole ISO media"
[[ "$boxes" == "ftyp "*moov*mdat* && "$boxes" != *mdat*moov* ]] \
  || fail "top-level boxes are '$boxes': the index must come before the data"
duration="$(probe format=duration)"
awk -v d="$duration" 'BEGIN { exit !(d > 2.8 && d < 3.3) }' || fail "video lasts $duration s, expected 3"
ls "$out" | grep -q -e '\.tmp$' -e '\.log$' && fail "temporary files left: $(ls "$out")"
# The timeline starts the music in the first frame after the 2 s delay, frame
# 20 at 10 fps (its clock reads a hair over 2 s), 0.5 s into this video: the
# track must be silent before that and playing a little later.
ffmpeg -hide_banner -nostats -i "$out/film.mp4" -af atrim=0:0.45,volumedetect -f null - 2>"$out/quiet"
ffmpeg -hide_banner -nostats -i "$out/film.mp4" -af atrim=start=1,volumedetect -f null - 2>"$out/loud"
quiet="$(sed -n 's/.*max_volume: \(-*[0-9.]*\) dB.*/\1/p' "$out/quiet")"
loud="$(sed -n 's/.*max_volume: \(-*[0-9.]*\) dB.*/\1/p' "$out/loud")"
awk -v q="$quiet" -v l="$loud" 'BEGIN { exit !(q < -60 && l > -40) }' \
  || fail "music does not start at half a second (peak $quiet dB before, $loud dB after)"

# 30 frames on the sheet: all of them fit, 6 to a row, 5 rows.
size="$(picture_size "$out/sheet.png")"
[ "$size" = "$((6 * 200 + 7 * 4))x$((4 * 117 + 5 * 4))" ] || fail "contact sheet is $size"
echo "passed"
