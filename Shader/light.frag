#version 330 core

// Lamp cube: emits its material colour scaled into HDR range, so the lamp
// always reaches the bloom.

// Radiance of the lamp relative to its colour; well above the threshold.
const float LAMP_RADIANCE = 6.0;
const float BLOOM_THRESHOLD = 1.0;

uniform vec3 materialColor;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 brightColor;

void main()
{
    vec3 color = materialColor * LAMP_RADIANCE;
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    float excess = max(luminance - BLOOM_THRESHOLD, 0.0);
    fragColor = vec4(color, 1.0);
    brightColor = vec4(color * (excess / max(luminance, 1e-4)), 1.0);
}
