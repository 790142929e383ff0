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
uniform sampler2D gSampler;

out vec2 vTexCoord;
out vec4 vTint;    // particle colour and its fade
out float vFlame;  // 0 for smoke and sparks, up to 1 for a flame
out float vAge;    // fraction of the life spent, 0 to 1
flat out int vDrawnOnBlack;  // the sprite has no alpha: its brightness is its coverage

// Fades in over the first quarter of its life and out over the second half.
float fadeAt(float age)
{
    return smoothstep(0.0, 0.25, age) * (1.0 - smoothstep(0.5, 1.0, age));
}

// The sprite's average colour and alpha: its last mipmap level.
vec4 spriteAverage()
{
    return textureLod(gSampler, vec2(0.5), 16.0);
}

// How much the sprite looks like a flame: the saturation of its average
// colour. Grey smoke and white sparks (whatever their tint) score 0, an
// orange flame close to 1.
float flameLikeness()
{
    vec3 average = spriteAverage().rgb;
    float highest = max(average.r, max(average.g, average.b));
    float lowest = min(average.r, min(average.g, average.b));
    if (highest <= 0.0)
        return 0.0;
    return smoothstep(0.3, 0.7, (highest - lowest) / highest);
}

void main()
{
    int type = iTypePass[0];
    if (type >= 0)
        return;
    float lifespan = float(-type) * 0.001;
    float age = clamp(1.0 - fLifeTimePass[0] / lifespan, 0.0, 1.0);
    float flame = flameLikeness();
    // Flames burn down as they rise; smoke billows out.
    float growth = mix(1.0 + 0.8 * age, 1.0 - 0.8 * age, flame);
    float halfSize = 0.5 * fSizePass[0] * growth;
    vec4 tint = vec4(vColorPass[0], fadeAt(age));
    int drawnOnBlack = spriteAverage().a > 0.999 ? 1 : 0;

    // Built in view space, so the quad always lies in the picture plane.
    vec4 center = view * gl_in[0].gl_Position;
    float c = cos(fRotationPass[0]);
    float s = sin(fRotationPass[0]);
    mat2 spin = mat2(c, s, -s, c);
    const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0),
                                    vec2(-1.0, 1.0), vec2(1.0, 1.0));
    for (int i = 0; i < 4; ++i) {
        vec2 offset = spin * corners[i] * halfSize;
        // Every output is undefined after EmitVertex(), the flat one too.
        gl_Position = projection * (center + vec4(offset, 0.0, 0.0));
        vTexCoord = corners[i] * 0.5 + 0.5;
        vTint = tint;
        vFlame = flame;
        vAge = age;
        vDrawnOnBlack = drawnOnBlack;
        EmitVertex();
    }
    EndPrimitive();
}
