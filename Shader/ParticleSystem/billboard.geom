#version 330 core

// Turns each live particle (negative type, see update.geom) into a quad that
// faces the camera; the generator and spawner records draw nothing.
//
// What a particle is comes from its sprite's average colour and alpha (the
// last mipmap level), so the three effects share one program:
//   flame  a saturated sprite: a tongue that stands up, burns from
//          yellow-white down to red and shrinks as it rises; a few fly on
//          as embers once their flame is out;
//   smoke  a grey sprite with alpha: it starts unseen inside the fire, is
//          lit warm by it at first, and thins out as it spreads;
//   spark  anything else (a near-white point, a glow drawn on black): keeps
//          its size and glows a little above white.
// Everything that is the same over a quad is worked out here, once per
// particle, rather than for each of its fragments.

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
out vec4 vTint;              // colour gain, HDR for flames, and opacity
out float vGlow;             // extra gain for the hottest (yellow-white) texels
out float vErosion;          // exponent on coverage: ageing flames fray
flat out int vDrawnOnBlack;  // the sprite has no alpha: its brightness is its coverage

const float SPARK_GLOW = 2.0;                     // sparks glow, a little above white
const vec3 FLAME_RED = vec3(1.0, 0.3, 0.1);       // what an old flame keeps of its colour
const vec3 FIRE_LIT = vec3(0.95, 0.6, 0.35);      // young smoke, lit from below
const vec3 NIGHT_GREY = vec3(0.42, 0.44, 0.5);    // old smoke, lit by the sky
const float FLAME_WIDTH = 0.65;                   // quad shape of a flame, in sizes
const float FLAME_HEIGHT = 1.3;
const float FLAME_SECONDS = 1.3;                  // the longest a flame is seen
const float EMBER_SHARE = 0.35;                   // of the flames that outlive FLAME_SECONDS
const float EMBER_SIZE = 0.1;                     // of the flame's size
const vec3 EMBER_GLOW = vec3(2.2, 1.3, 0.5);
const float FLAME_HIDING = 0.3;                   // how much of the background a flame covers

// Up from 0 to 1 over the life's first `full`, back to 0 from `fall` to the end.
float fade(float age, float full, float fall)
{
    return smoothstep(0.0, full, age) * (1.0 - smoothstep(fall, 1.0, age));
}

void main()
{
    int type = iTypePass[0];
    if (type >= 0)
        return;
    float lifespan = float(-type) * 0.001;
    float age = clamp(1.0 - fLifeTimePass[0] / lifespan, 0.0, 1.0);
    // A flame burns out within FLAME_SECONDS however long it has to live:
    // the long-lived ones would otherwise fly far above the fire as drops.
    float seconds = lifespan - fLifeTimePass[0];
    float flameAge = max(age, clamp(seconds / FLAME_SECONDS, 0.0, 1.0));

    vec4 average = textureLod(gSampler, vec2(0.5), 16.0);
    float highest = max(average.r, max(average.g, average.b));
    float lowest = min(average.r, min(average.g, average.b));
    float flame = highest > 0.0 ? smoothstep(0.3, 0.7, (highest - lowest) / highest) : 0.0;
    int drawnOnBlack = average.a > 0.999 ? 1 : 0;
    float smoke = drawnOnBlack != 0 ? 0.0 : (1.0 - flame) * smoothstep(0.85, 0.7, highest);

    // Flames burn down as they rise, which tapers the fire; smoke spreads.
    float growth = 1.0 + flame * (-0.75 * flameAge) + smoke * (1.4 * age);
    vec2 halfSize = vec2(0.5 * fSizePass[0] * growth);
    // Some tongues tall, some short: the lifespan is as good a die as any.
    float stretch = mix(0.75, 1.3, fract(lifespan * 73.0));
    halfSize *= mix(vec2(1.0), vec2(FLAME_WIDTH, FLAME_HEIGHT * stretch), flame);

    // A flame loses its yellow first, then its orange; young ones are hot
    // enough to bloom.
    float burn = smoothstep(0.15, 0.9, flameAge);
    vec3 flameGain = mix(vec3(0.4), 0.4 * FLAME_RED, burn);
    vec3 smokeGain = mix(FIRE_LIT, NIGHT_GREY, smoothstep(0.0, 0.5, age));
    vec3 gain = mix(mix(vec3(SPARK_GLOW), smokeGain, smoke), flameGain, flame);
    // Smoke is born inside the flames, unseen, and the wider it spreads the
    // thinner it gets.
    float opacity = mix(mix(fade(age, 0.25, 0.5), fade(age, 0.35, 0.45) * 0.7 / growth, smoke),
                        fade(flameAge, 0.06, 0.45) * 0.6, flame);
    // A flame is light more than matter: it adds its colour in full but
    // hides only part of what lies behind it, so where many overlap the
    // fire gets brighter, towards white, instead of only more opaque.
    float hiding = mix(1.0, FLAME_HIDING, flame);
    vec4 tint = vec4(vColorPass[0] * gain / hiding, opacity * hiding);
    float glow = flame * 3.0 * (1.0 - burn) * (1.0 - burn);
    float erosion = 1.0 + flame * 1.5 * burn;

    // Some of those that outlive their flame fly on as embers: small, hot
    // and solid, fading until their life ends.
    if (flame > 0.5 && seconds > FLAME_SECONDS && fract(lifespan * 37.0) < EMBER_SHARE) {
        float left = fLifeTimePass[0] / max(lifespan - FLAME_SECONDS, 1e-3);
        halfSize = 0.5 * fSizePass[0] * EMBER_SIZE * vec2(0.5, 1.0);
        tint = vec4(vColorPass[0] * EMBER_GLOW, smoothstep(0.0, 0.5, left));
        glow = 0.0;
        erosion = 1.0;
    }

    // Built in view space, so the quad always lies in the picture plane. A
    // flame stands along the world's up as the camera sees it and sways a
    // little; the others spin.
    vec4 center = view * gl_in[0].gl_Position;
    vec2 up = (view * vec4(0.0, 1.0, 0.0, 0.0)).xy;
    up = dot(up, up) > 1e-6 ? normalize(up) : vec2(0.0, 1.0);
    float turn = flame > 0.5 ? atan(-up.x, up.y) + 0.3 * sin(fRotationPass[0]) : fRotationPass[0];
    float c = cos(turn);
    float s = sin(turn);
    mat2 spin = mat2(c, s, -s, c);
    const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0),
                                    vec2(-1.0, 1.0), vec2(1.0, 1.0));
    for (int i = 0; i < 4; ++i) {
        vec2 offset = spin * (corners[i] * halfSize);
        // Every output is undefined after EmitVertex(), the flat one too.
        gl_Position = projection * (center + vec4(offset, 0.0, 0.0));
        vTexCoord = corners[i] * 0.5 + 0.5;
        vTint = tint;
        vGlow = glow;
        vErosion = erosion;
        vDrawnOnBlack = drawnOnBlack;
        EmitVertex();
    }
    EndPrimitive();
}
