#!/usr/bin/env bash
# The build itself refuses a back edge: a file compiled with a layer's own
# flags (taken from compile_commands.json) cannot include a header of a
# higher layer or of a sibling, and can include its own and lower ones.
# Usage: build_guard_test.sh BUILD_DIR
set -u
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# compile FOLDER HEADER: compiles, with the flags of a file of src/FOLDER, a
# source that includes HEADER; prints the compiler's output.
compile() {
  local folder="$1" header="$2" probe
  probe="$scratch/probe.cpp"
  echo "#include \"$header\"" > "$probe"
  python3 - "$build/compile_commands.json" "$root/src/$folder/" "$probe" <<'PYTHON'
import json, shlex, subprocess, sys
commands, folder, probe = sys.argv[1:]
entry = next(e for e in json.load(open(commands)) if e["file"].startswith(folder))
words = shlex.split(entry["command"])
# Keep the compiler and its flags; drop the output and the source.
flags, skip = [], False
for word in words[1:]:
    if skip:
        skip = False
    elif word in ("-o", "-c"):
        skip = word == "-o"
    elif word != entry["file"] and not word.endswith(".cpp"):
        flags.append(word)
result = subprocess.run([words[0], *flags, "-fsyntax-only", probe], cwd=entry["directory"],
                        capture_output=True, text=True)
print(result.stdout + result.stderr, end="")
sys.exit(result.returncode)
PYTHON
  local status=$?
  rm -f "$probe"
  return $status
}

[ -f "$build/compile_commands.json" ] || { echo "no compile_commands.json in $build"; exit 1; }

refused() {  # refused FOLDER HEADER
  local output
  if output="$(compile "$1" "$2")"; then
    fail "src/$1 compiles with an include of $2"
  elif ! grep -q "$2: No such file" <<<"$output"; then
    fail "src/$1 including $2 failed for another reason: $output"
  fi
}
accepted() {  # accepted FOLDER HEADER
  local output
  output="$(compile "$1" "$2")" || fail "src/$1 cannot include $2: $output"
}

refused base scene/Object3D.h
refused scene render/Mesh.h
refused render app/DemoState.h
refused particles import/ModelLoader.h
refused import particles/ParticleSystem.h
refused app session/PlaySession.h
refused session capture/CaptureOutputs.h
refused capture bench/BenchRun.h
accepted scene scene/Object3D.h
accepted render scene/Camera.h
accepted particles render/Mesh.h
accepted capture app/DemoState.h
accepted capture session/PlaySession.h
accepted bench capture/OutputFile.h

[ $failures -eq 0 ] && echo "build guard: every back edge is refused, every edge down compiles"
exit $((failures > 0))
