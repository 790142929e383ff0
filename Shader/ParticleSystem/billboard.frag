#version 330 core

in vec2 vTexCoord;
in vec4 vTint;
in float vGlow;
in float vErosion;
flat in int vDrawnOnBlack;

uniform sampler2D gSampler;

out vec4 fragColor;                         // colour number 0, bound by name
layout(location = 1) out vec4 brightColor;  // what feeds the bloom

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
    float alpha = pow(coverage, vErosion) * vTint.a;
    if (alpha < 1.0 / 255.0)
        discard;
    // Green is what a flame's yellow and white have over its orange and red:
    // only the hot core glows far above white, the tips stay their colour.
    vec3 color = paint * vTint.rgb * (1.0 + vGlow * paint.g * paint.g);
    fragColor = vec4(color, alpha);
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    brightColor = vec4(color * smoothstep(1.0, 2.5, luminance), alpha);
}
