#version 330 core

in vec2 vTexCoord;
in vec4 vTint;
in float vFlame;
in float vAge;
flat in int vDrawnOnBlack;

uniform sampler2D gSampler;

out vec4 fragColor;                         // colour number 0, bound by name
layout(location = 1) out vec4 brightColor;  // what feeds the bloom

// An ageing flame loses its yellow first, then its orange.
const vec3 EMBER = vec3(1.0, 0.35, 0.12);

void main()
{
    vec4 texel = texture(gSampler, vTexCoord);
    // A sprite without alpha is a glow drawn on black: its brightness, taken
    // back to the gamma-encoded value it was painted with, is its coverage.
    // Its colour is then the hue at full brightness, so that soft edges fade
    // out instead of darkening what lies behind.
    vec3 paint = texel.rgb;
    float coverage = texel.a;
    if (vDrawnOnBlack != 0) {
        float brightness = max(texel.r, max(texel.g, texel.b));
        coverage = pow(brightness, 1.0 / 2.2);
        paint = texel.rgb / max(brightness, 1e-4);
    }
    // A flame is hotter than white while young, enough to bloom, and cools
    // to thin wisps of embers; smoke and sparks keep their colour and shape.
    float burn = vFlame * smoothstep(0.0, 0.7, vAge);
    float alpha = pow(coverage, 1.0 + 2.0 * burn) * vTint.a;
    if (alpha < 1.0 / 255.0)
        discard;
    float heat = 1.0 + 1.5 * vFlame * (1.0 - burn) * (1.0 - burn);
    vec3 color = paint * vTint.rgb * mix(vec3(1.0), EMBER, burn) * heat;
    fragColor = vec4(color, alpha);
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    brightColor = vec4(color * smoothstep(0.5, 0.9, luminance), alpha);
}
