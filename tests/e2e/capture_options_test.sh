#!/usr/bin/env bash
# Bad command lines end the capture and the bench at once with a clear
# message on standard error and exit code 2; --help succeeds.
source "$(dirname "$0")/capture_lib.sh"
stage

search_path=""
refusing="$capture_program"
expect_refusal() {
  local expected="$1"; shift
  local code=0
  (cd "$run_dir" && env ${search_path:+PATH="$search_path"} "$refusing" "$@" </dev/null >"$out/stdout" 2>"$out/stderr") \
    || code=$?
  [ "$code" = 2 ] || fail "'$*' exited with $code, not 2"
  grep -q -- "^$(basename "$refusing"): .*$expected" "$out/stderr" || fail "'$*' did not say '$expected': $(cat "$out/stderr")"
  [ "$(wc -l <"$out/stderr")" -le 2 ] || fail "'$*' printed more than a short message"
}

expect_refusal "--fps" --out x --fps 0
expect_refusal "'abc' is not" --out x --fps abc
expect_refusal "--to must come after --from" --out x --from 5 --to 4
expect_refusal "--every" --out x --every 0
expect_refusal "a size like" --out x --size 1024by600
expect_refusal "unknown option '--colour'" --out x --colour red
expect_refusal "--fps" --out x --fps
expect_refusal "unknown option '--json'" --out x --json b.json
expect_refusal "nothing to do" --fps 25
# Without ffmpeg on the path a video cannot be made; the capture says so
# before it starts the demo.
search_path=/nonexistent expect_refusal "ffmpeg is not installed" --video "$out/film.mp4"

(cd "$run_dir" && "$capture_program" --help >"$out/help") || fail "--help exited with $?"
grep -q -- "--sheet FILE" "$out/help" || fail "--help does not list --sheet"

# The bench's own combinations; nothing is played before the refusal.
refusing="$bench_program"
expect_refusal "'abc' is not" --fps abc
expect_refusal "--to must come after --from" --from 5 --to 4
expect_refusal "leave out --passes" --passes --json b.json
expect_refusal "--frames needs --passes" --frames 10
expect_refusal "unknown option '--out'" --out x
(cd "$run_dir" && "$bench_program" --help >"$out/help") || fail "the bench's --help exited with $?"
grep -q -- "--census FILE" "$out/help" || fail "the bench's --help does not list --census"
echo "passed"
