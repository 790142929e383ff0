#version 330 core

// Turns each live particle (negative type, see update.geom) into a quad that
// faces the camera; the generator and spawner records draw nothing.

layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

in vec3 vColorPass[];
in float fLifeTimePass[];
in float fSizePass[];
flat in int iTypePass[];
in float fRotationPass[];

uniform mat4 view;
uniform mat4 projection;

out vec2 vTexCoord;
out vec4 vTint;  // particle colour and its fade

// Fades in quickly, holds, and fades out over the second half of its life.
float fadeAt(float age)
{
    return smoothstep(0.0, 0.15, age) * (1.0 - smoothstep(0.45, 1.0, age));
}

// Swells a little while young, then burns down to nothing.
float sizeFactorAt(float age)
{
    return (1.0 + 1.2 * age) * sqrt(1.0 - age);
}

void main()
{
    int type = iTypePass[0];
    if (type >= 0)
        return;
    float lifespan = float(-type) * 0.001;
    float age = clamp(1.0 - fLifeTimePass[0] / lifespan, 0.0, 1.0);
    float halfSize = 0.5 * fSizePass[0] * sizeFactorAt(age);
    vTint = vec4(vColorPass[0], fadeAt(age));

    // Built in view space, so the quad always lies in the picture plane.
    vec4 center = view * gl_in[0].gl_Position;
    float c = cos(fRotationPass[0]);
    float s = sin(fRotationPass[0]);
    mat2 spin = mat2(c, s, -s, c);
    const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0),
                                    vec2(-1.0, 1.0), vec2(1.0, 1.0));
    for (int i = 0; i < 4; ++i) {
        vec2 offset = spin * corners[i] * halfSize;
        gl_Position = projection * (center + vec4(offset, 0.0, 0.0));
        vTexCoord = corners[i] * 0.5 + 0.5;
        EmitVertex();
    }
    EndPrimitive();
}
