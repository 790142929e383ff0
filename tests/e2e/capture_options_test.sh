#!/usr/bin/env bash
# Bad command lines end the capture at once with a clear message on
# standard error and a non-zero exit code; --help succeeds.
source "$(dirname "$0")/capture_lib.sh"
stage

search_path=""
expect_refusal() {
  local expected="$1"; shift
  local code=0
  (cd "$run_dir" && env ${search_path:+PATH="$search_path"} "$capture_program" "$@" </dev/null >"$out/stdout" 2>"$out/stderr") \
    || code=$?
  [ "$code" -ne 0 ] || fail "'$*' exited with 0"
  grep -q -- "$expected" "$out/stderr" || fail "'$*' did not say '$expected': $(cat "$out/stderr")"
  [ "$(wc -l <"$out/stderr")" -le 2 ] || fail "'$*' printed more than a short message"
}

expect_refusal "--fps" --out x --fps 0
expect_refusal "'abc' is not" --out x --fps abc
expect_refusal "--to must come after --from" --out x --from 5 --to 4
expect_refusal "--every" --out x --every 0
expect_refusal "a size like" --out x --size 1024by600
expect_refusal "unknown option '--colour'" --out x --colour red
expect_refusal "needs a value" --out x --fps
expect_refusal "need --bench" --out x --json b.json
expect_refusal "nothing to do" --fps 25
# Without ffmpeg on the path a video cannot be made; the capture says so
# before it starts the demo.
search_path=/nonexistent expect_refusal "ffmpeg is not installed" --video "$out/film.mp4"

(cd "$run_dir" && "$capture_program" --help >"$out/help") || fail "--help exited with $?"
grep -q -- "--sheet FILE" "$out/help" || fail "--help does not list --sheet"
echo "passed"
