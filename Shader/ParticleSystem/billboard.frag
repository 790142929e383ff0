#version 330 core

in vec2 vTexCoord;
in vec4 vTint;

uniform sampler2D gSampler;

out vec4 fragColor;                       // colour number 0, bound by name
layout(location = 1) out vec4 brightColor;  // what feeds the bloom

void main()
{
    vec4 texel = texture(gSampler, vTexCoord);
    // Sprites drawn on black and sprites with an alpha channel both work:
    // a dark texel covers as little as a transparent one.
    float coverage = texel.a * max(texel.r, max(texel.g, texel.b));
    float alpha = coverage * vTint.a;
    if (alpha < 1.0 / 255.0)
        discard;
    vec3 color = texel.rgb * vTint.rgb;
    fragColor = vec4(color, alpha);
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    brightColor = vec4(color * smoothstep(0.5, 0.9, luminance), alpha);
}
