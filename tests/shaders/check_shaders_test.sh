#!/usr/bin/env bash
# The shader check on planted faults: each must fail it with its own message,
# while the real shaders and a small clean program pass.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
check="$here/check_shaders.py"
if ! command -v glslangValidator >/dev/null; then
  echo "glslangValidator not found (Debian package glslang-tools): skipped"
  exit 77
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect NAME DIR STATUS [TEXT]: the check of DIR ends with STATUS and prints TEXT.
expect() {
  local name="$1" dir="$2" status="$3" text="${4:-}" output code
  output="$(python3 "$check" --programs "$dir/programs.txt" "$dir" 2>&1)"
  code=$?
  [ "$code" -eq "$status" ] || fail "$name: status $code, expected $status; output:
$output"
  if [ -n "$text" ] && ! grep -qF -- "$text" <<<"$output"; then
    fail "$name: no '$text' in:
$output"
  fi
}

# plant NAME FILE SED-SCRIPT: a copy of the small program with one change.
plant() {
  local dir="$scratch/$1"
  cp -r "$scratch/small" "$dir"
  cp "$dir/$2" "$dir/$2.before"
  sed -i "$3" "$dir/$2"
  cmp -s "$dir/$2" "$dir/$2.before" && fail "$1: the plant changed nothing in $2"
  rm "$dir/$2.before"
  echo "$dir"
}

real="$scratch/real"
mkdir -p "$real" && cp -r "$root/Shader" "$real/" && cp "$here/programs.txt" "$real/"
expect "the real shaders" "$real" 0 "programs linked for OpenGL 3.3"
sed -i 's/max_vertices = [0-9]*/max_vertices = 78/' "$real/Shader/ParticleSystem/update.geom"
expect "78 particle records in one invocation" "$real" 1 \
  "update.geom: max_vertices = 78 times 32 components"

small="$scratch/small"
mkdir -p "$small/Shader"
cat > "$small/Shader/quad.vert" <<'EOF'
#version 330 core
layout(location = 0) in vec3 position;
out vec3 vColor;
void main()
{
    gl_Position = vec4(position, 1.0);
    vColor = position;
}
EOF
cat > "$small/Shader/quad.geom" <<'EOF'
#version 330 core
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
in vec3 vColor[];
out vec4 vTint;  // a colour
flat out int vCorner;
void main()
{
    vec4 tint = vec4(vColor[0], 1.0);
    for (int i = 0; i < 4; ++i) {
        gl_Position = gl_in[0].gl_Position + vec4(i & 1, i >> 1, 0.0, 0.0);
        vTint = tint;
        vCorner = i;
        EmitVertex();
    }
    EndPrimitive();
}
EOF
cat > "$small/Shader/quad.frag" <<'EOF'
#version 330 core
#include "tint.glsl"
flat in int vCorner;
out vec4 fragColor;
void main()
{
    fragColor = tinted(vCorner);
}
EOF
cat > "$small/Shader/tint.glsl" <<'EOF'
// Included by quad.frag.
in vec4 vTint;
vec4 tinted(int corner)
{
    return vTint * float(corner);
}
EOF
echo "quad Shader/quad.vert Shader/quad.geom Shader/quad.frag" > "$small/programs.txt"
expect "the small program" "$small" 0

expect "an output written once for four vertices" \
  "$(plant once Shader/quad.geom 's/^        vTint = tint;//; s/^    vec4 tint = .*/    vTint = vec4(vColor[0], 1.0);/')" 1 \
  "quad.geom:14: EmitVertex() without writing vTint in its block first"
expect "a budget overrun by 4-component slots" \
  "$(plant slots Shader/quad.geom 's/max_vertices = 4/max_vertices = 86/')" 1 \
  "max_vertices = 86 times 12 components"
expect "a later GLSL version" "$(plant version Shader/quad.frag 's/^#version 330 core/#version 400 core/')" 1 \
  "quad.frag:1: must start with '#version 330 core'"
expect "an interpolation that differs between stages, declared in an included file" \
  "$(plant interpolation Shader/tint.glsl 's/^in vec4 vTint;/flat in vec4 vTint;/')" 1 \
  "Shader/tint.glsl:2 takes 'vTint' as flat vec4, Shader/quad.geom:5 gives smooth vec4"
expect "an input no stage writes" \
  "$(plant unwritten Shader/quad.frag 's/^flat in int vCorner;/flat in int vCorner;\nin vec2 vUnwritten;/')" 1 \
  "Shader/quad.frag:4 reads 'vUnwritten', which Shader/quad.geom does not write"
expect "a qualifier GLSL 3.30 lacks, refused by glslang" \
  "$(plant binding Shader/quad.frag 's/^out vec4 fragColor;/layout(binding = 0) uniform sampler2D image;\nout vec4 fragColor;/')" 1 \
  "'binding' : not supported for this version"
expect "a stage type mismatch, refused by glslang's linker" \
  "$(plant type Shader/quad.vert 's/^out vec3 vColor;/out vec4 vColor;/; s/vColor = position;/vColor = vec4(position, 1.0);/')" 1 \
  "Types must match"
cp -r "$small" "$scratch/unlisted" && cp "$small/Shader/quad.frag" "$scratch/unlisted/Shader/unused.frag"
expect "a shader in no program" "$scratch/unlisted" 1 "Shader/unused.frag: in no program"

variant="$(plant variant Shader/quad.vert 's/^    vColor = position;/&\n#ifdef TINTED\n    vColor *= shade;\n#endif/')"
expect "a fault under #ifdef, which only a variant compiles" "$variant" 0
echo "quad-tinted Shader/quad.vert Shader/quad.geom Shader/quad.frag -DTINTED" >> "$variant/programs.txt"
expect "the variant with its define, the fault at its own line" "$variant" 1 "ERROR: Shader/quad.vert:9: 'shade'"

expect "an include of a file that is not there" "$(plant missing Shader/quad.frag 's/"tint.glsl"/"tints.glsl"/')" 1 \
  "Shader/quad.frag:2: includes 'tints.glsl', but there is no Shader/tints.glsl"
expect "a file that includes itself" \
  "$(plant cycle Shader/tint.glsl 's/^in vec4 vTint;/#include "tint.glsl"\nin vec4 vTint;/')" 1 \
  "Shader/tint.glsl:2: include cycle Shader/tint.glsl -> Shader/tint.glsl"
expect "an included file with a #version line" "$(plant twice Shader/tint.glsl '1i #version 330 core')" 1 \
  "Shader/tint.glsl:1: an included file has no #version line of its own"
expect "a compile error inside an included file, at its own line" \
  "$(plant included Shader/tint.glsl 's/float(corner)/floot(corner)/')" 1 \
  "ERROR: Shader/tint.glsl:5: 'floot'"
cp -r "$small" "$scratch/orphan" && cp "$small/Shader/tint.glsl" "$scratch/orphan/Shader/spare.glsl"
expect "an included file no shader includes" "$scratch/orphan" 1 "Shader/spare.glsl: included by no shader"

feedback="$(plant feedback Shader/quad.geom 's/^out vec4 vTint;.*/out mat4 vTint[4];/; s/vTint = tint;/vTint[0][0] = tint;/')"
echo "fed-back Shader/quad.vert Shader/quad.geom" >> "$feedback/programs.txt"
echo "#version 330 core
void main() {}" > "$feedback/Shader/quad.frag"
rm "$feedback/Shader/tint.glsl"
expect "transform feedback of 65 components" "$feedback" 1 "fed-back: feeds back 65 components"

[ "$failures" -eq 0 ] && echo "all planted faults found"
exit $((failures > 0))
