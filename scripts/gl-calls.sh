#!/usr/bin/env bash
# Counts the OpenGL calls of one frame of the film: records a short stretch of
# tolvane-capture in a hidden GLFW window on a virtual screen with apitrace's
# GLX wrapper, then prints the calls of one drawn frame (swap to swap) by
# function. The frames are drawn exactly as the demo draws them; the capture
# adds one glReadPixels a frame to keep the picture.
#
# Usage: scripts/gl-calls.sh [--at SECONDS] [--size WxH] [--keep DIR]
#   --at    demo second of the counted frame at the film's pace (default 78.7,
#           the camp fire burning)
#   --size  picture size (default 256x150; the calls do not depend on it)
#   --keep  also leave the trace, its dump and the console in DIR
# Needs the Debian packages apitrace (with apitrace-tracers), xvfb and a C
# compiler, and a build (scripts/setup.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TOLVANE_BUILD_DIR:-$root/build}"
at=78.7 size=256x150 keep=""
while [ $# -gt 0 ]; do
  case "$1" in
    --at) at="$2"; shift 2 ;;
    --size) size="$2"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    *) sed -n '8,13s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
capture="$build_dir/bin/tolvane-capture"
[ -x "$capture" ] || { echo "No $capture: build first (scripts/setup.sh)." >&2; exit 1; }
command -v apitrace >/dev/null || { echo "apitrace is not installed (Debian package apitrace)." >&2; exit 1; }
wrapper="$(dpkg -L apitrace-tracers 2>/dev/null | grep '/glxtrace\.so$' | head -n 1 || true)"
[ -n "$wrapper" ] || wrapper="$(compgen -G '/usr/lib/*/apitrace/wrappers/glxtrace.so' | head -n 1 || true)"
[ -f "$wrapper" ] || { echo "apitrace's glxtrace.so was not found (Debian package apitrace-tracers)." >&2; exit 1; }

work="$(mktemp -d /tmp/tolvane-gl-calls-XXXXXX)"
trap 'rm -rf "$work"' EXIT

# apitrace's wrapper passes glGetError on without recording it (a run that
# made 1,508 such calls left none in its trace). A small library loaded
# before the wrapper puts a string marker in the trace for each call instead,
# in its place among the others.
cat >"$work/mark-get-error.c" <<'EOF'
#define _GNU_SOURCE
#include <dlfcn.h>

typedef unsigned (*GetError)(void);
typedef void (*StringMarker)(int, const void*);
typedef StringMarker (*GetProcAddress)(const unsigned char*);

unsigned glGetError(void)
{
    static GetError real;
    static StringMarker mark;
    if (!real) {
        real = (GetError)dlsym(RTLD_NEXT, "glGetError");
        GetProcAddress lookUp = (GetProcAddress)dlsym(RTLD_NEXT, "glXGetProcAddressARB");
        if (lookUp)
            mark = lookUp((const unsigned char*)"glStringMarkerGREMEDY");
    }
    unsigned error = real();
    if (mark)
        mark(0, "glGetError");
    return error;
}
EOF
cc -shared -fPIC -O2 -o "$work/mark-get-error.so" "$work/mark-get-error.c" -ldl

# Five frames from the asked second: the first ones drawn after the frames
# that are only stepped can differ (read-backs that start a few frames late),
# so the third is counted.
to="$(awk -v a="$at" 'BEGIN { printf "%g", a + 0.16 }')"
if ! (cd "$build_dir/stage/Tolvane" && "$root/scripts/with-screen.sh" \
    env LD_PRELOAD="$work/mark-get-error.so $wrapper" TRACE_FILE="$work/frame.trace" \
    "$capture" --quiet --gl glfw --fps 30 --size "$size" --from "$at" --to "$to" --out "$work/frames" \
    </dev/null >"$work/console.txt" 2>&1); then
  grep -v '^apitrace: warning: unknown function' "$work/console.txt" | tail -n 5 >&2
  echo "The traced capture failed." >&2
  exit 1
fi
apitrace dump --color=never --arg-names=no "$work/frame.trace" >"$work/dump.txt"
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work/frame.trace" "$work/dump.txt" "$work/console.txt" "$keep/"
fi

renderer="$(sed -n 's/^Rendering with //p' "$work/console.txt")"
awk -v at="$at" -v size="$size" -v renderer="$renderer" '
  # A call line: its number, the function and its arguments.
  match($0, /^[0-9]+ [A-Za-z_][A-Za-z0-9_]*\(/) {
    name = substr($0, 1, RLENGTH - 1); sub(/^[0-9]+ /, "", name)
    if (name == "glGetError") next               # counted by its marker
    if (name == "glStringMarkerGREMEDY" && index($0, "\"glGetError\"")) name = "glGetError"
    if (name ~ /SwapBuffers$/) {
      if (kept) {
        frames++; total[frames] = calls
        if (frames <= 3) { delete chosen; for (f in counts) chosen[f] = counts[f] }
      }
      calls = 0; kept = 0; delete counts
      next
    }
    calls++; counts[name]++
    if (name == "glReadPixels") kept = 1
  }
  END {
    if (frames == 0) { print "No drawn frame was found in the trace." > "/dev/stderr"; exit 1 }
    n = frames < 3 ? frames : 3
    printf "GL calls of one frame: the %s drawn from demo second %s at %s\n", n == 3 ? "third" : "last", at, size
    printf "Renderer: %s\n", renderer
    printf "Calls in each drawn frame:"; for (i = 1; i <= frames; i++) printf " %d", total[i]; printf "\n"
    printf "Total: %d calls\n\n", total[n]
    m = 0; for (f in chosen) { names[++m] = f }
    # Most frequent first, then by name.
    for (i = 2; i <= m; i++) for (j = i; j > 1; j--) {
      a = names[j - 1]; b = names[j]
      if (chosen[a] < chosen[b] || (chosen[a] == chosen[b] && a > b)) { names[j - 1] = b; names[j] = a } else break
    }
    printf "%8s  %s\n", "calls", "function"
    for (i = 1; i <= m && i <= 15; i++) { printf "%8d  %s\n", chosen[names[i]], names[i]; shown[names[i]] = 1 }
    # The calls that are being cut down, wherever they rank.
    split("glGetUniformLocation glUniform1i glGetError glBufferSubData glGetQueryObjectiv", watched, " ")
    for (i = 1; i in watched; i++)
      if (!(watched[i] in shown)) { printf "%8d  %s\n", chosen[watched[i]], watched[i]; shown[watched[i]] = 1 }
    rest = 0; for (f in chosen) if (!(f in shown)) { rest += chosen[f]; others++ }
    if (others) printf "%8d  (%d other functions)\n", rest, others
  }' "$work/dump.txt"
