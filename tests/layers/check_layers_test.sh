#!/usr/bin/env bash
# The layer check on small trees: quiet on a tree that keeps the order, and
# naming file, line and header for every edge against it, in a planted tree
# and in a copy of the real sources.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
check="$root/scripts/check-layers.py"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

put() {  # put FILE [INCLUDED...]: a source file including the given headers
    local file="$1"; shift
    mkdir -p "$(dirname "$file")"
    : > "$file"
    for header in "$@"; do echo "#include \"$header\"" >> "$file"; done
}

clean="$scratch/clean/src"
put "$clean/base/Clock.h"
put "$clean/scene/Node.h" base/Clock.h
put "$clean/render/Mesh.h" scene/Node.h
put "$clean/render/Mesh.cpp" Mesh.h base/Clock.h
put "$clean/particles/Particles.cpp" render/Mesh.h base/Clock.h
put "$clean/import/Loader.cpp" render/Mesh.h "<vector>"
put "$clean/app/ApplicationState.h"
put "$clean/app/Diagnostics.h"
put "$clean/app/Main.cpp" particles/Particles.cpp import/Loader.cpp
put "$clean/capture/Tool.cpp" app/Diagnostics.h ../app/Main.cpp
output="$(python3 "$check" "$clean" 2>&1)" || fail "a clean tree is refused: $output"
[ -z "$output" ] || fail "a clean tree prints: $output"

planted="$scratch/planted/src"
mkdir -p "$scratch/planted" && cp -r "$clean" "$planted"
put "$planted/base/Clock.cpp" Clock.h scene/Node.h
put "$planted/particles/Particles.cpp" render/Mesh.h import/Loader.cpp
put "$planted/import/Loader.cpp" ../capture/Tool.cpp app/ApplicationState.h
put "$planted/scene/Node.cpp" app/ApplicationState.h render/SceneContext.h
put "$planted/scene/Billboard.h" render/Mesh.h
put "$planted/render/SceneContext.h"
put "$planted/tools/Helper.h" base/Clock.h
(cd "$scratch/planted" && python3 "$check" src > "$scratch/planted.out" 2>/dev/null)
[ $? -eq 1 ] || fail "the planted tree does not fail with status 1"
expected="src/base/Clock.cpp:2: base may not include scene/Node.h
src/import/Loader.cpp:1: import may not include capture/Tool.cpp
src/import/Loader.cpp:2: import may not include app/ApplicationState.h
src/particles/Particles.cpp:2: particles may not include import/Loader.cpp
src/scene/Billboard.h:1: scene may not include render/Mesh.h
src/scene/Node.cpp:1: scene may not include app/ApplicationState.h
src/scene/Node.cpp:2: scene may not include render/SceneContext.h
src/tools: tools is on no layer of"
actual="$(sed 's/ of .*/ of/' "$scratch/planted.out")"
[ "$actual" = "$expected" ] || fail "planted tree: expected
$expected
got
$actual"

# The real sources: planting one back edge adds exactly its line to the report.
real="$scratch/real/src"
mkdir -p "$scratch/real" && cp -r "$root/src" "$real"
(cd "$scratch/real" && python3 "$check" src > "$scratch/before.out" 2>/dev/null)
target="$(cd "$scratch/real" && ls src/scene/*.cpp | head -1)"
lines=$(wc -l < "$scratch/real/$target")
echo '#include "capture/CaptureOutputs.h"' >> "$scratch/real/$target"
(cd "$scratch/real" && python3 "$check" src > "$scratch/after.out" 2>/dev/null)
[ $? -eq 1 ] || fail "a back edge in the real sources does not fail"
added="$(diff "$scratch/before.out" "$scratch/after.out" | sed -n 's/^> //p')"
[ "$added" = "$target:$((lines + 1)): scene may not include capture/CaptureOutputs.h" ] \
    || fail "planting in $target reported: $added"

# An allowed edge needs its reason.
put "$scratch/two/src/base/Log.cpp" app/Diagnostics.h
put "$scratch/two/src/app/Diagnostics.h"
printf 'layer base\nlayer app\nallow base app/Diagnostics.h reported\n' > "$scratch/reason.txt"
python3 "$check" --rules "$scratch/reason.txt" "$scratch/two/src" > /dev/null 2>&1 \
    || fail "an allow entry with its reason is not honoured"
sed 's/ reported$//' "$scratch/reason.txt" > "$scratch/no-reason.txt"
python3 "$check" --rules "$scratch/no-reason.txt" "$scratch/two/src" > /dev/null 2>&1 \
    && fail "an allow entry without a reason is accepted"

[ $failures -eq 0 ] && echo "layer check: all cases pass"
exit $((failures > 0))
