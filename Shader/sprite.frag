#version 330 core

// Emissive, alpha-blended sprite (flames): unlit, brightened into HDR range
// so the hot core of a flame blooms.

const float SPRITE_RADIANCE = 2.0;
const float BLOOM_THRESHOLD = 1.0;

in vec2 texCoord;

uniform sampler2D textureSampler;
uniform vec3 materialColor;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 brightColor;

void main()
{
    vec4 texel = texture(textureSampler, texCoord);
    vec3 color = texel.rgb * materialColor * SPRITE_RADIANCE;
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    float excess = max(luminance - BLOOM_THRESHOLD, 0.0);
    // Both outputs carry the same alpha, so the bright part blends exactly
    // like the colour.
    fragColor = vec4(color, texel.a);
    brightColor = vec4(color * (excess / max(luminance, 1e-4)), texel.a);
}
