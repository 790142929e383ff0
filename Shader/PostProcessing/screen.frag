#version 330 core

// Composition: scene plus bloom, exposure tone mapping to display range,
// sRGB encoding for the (linear) default framebuffer, then the global fade.

const float EXPOSURE = 1.0;
const float BLOOM_STRENGTH = 1.0;

in vec2 texCoord;

uniform sampler2D screenTexture;
uniform sampler2D bloomTexture;
uniform float fade;  // 0 black .. 1 full picture

out vec4 fragColor;

vec3 encodeSrgb(vec3 linear)
{
    vec3 low = linear * 12.92;
    vec3 high = 1.055 * pow(linear, vec3(1.0 / 2.4)) - 0.055;
    return mix(high, low, lessThanEqual(linear, vec3(0.0031308)));
}

void main()
{
    vec3 hdr = texture(screenTexture, texCoord).rgb
        + BLOOM_STRENGTH * texture(bloomTexture, texCoord).rgb;
    // Never a NaN or infinity on screen, whatever a pass let through.
    hdr = any(isnan(hdr)) || any(isinf(hdr)) ? vec3(0.0) : hdr;
    vec3 mapped = vec3(1.0) - exp(-EXPOSURE * hdr);
    fragColor = vec4(encodeSrgb(mapped) * fade, 1.0);
}
