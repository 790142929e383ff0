#version 330 core

// Composition: scene plus bloom, tone mapped to display range, sRGB encoded
// for the (linear) default framebuffer, then the global fade.
//
// The film is a night scene lit by a weak ambient light and a few small
// lamps: most of the picture sits far down in the darks, and the flames and
// windows far above white. The exposure lifts the whole picture, the toe
// lifts the darks further so that the clearing reads on an ordinary screen,
// and the tone curve works on luminance, not per channel, so that a flame
// keeps its colour instead of burning out to a flat white patch; only what
// lies far above white is let towards white.

const float EXPOSURE = 2.0;
const float TOE = 0.85;         // exponent on the mapped luminance; below 1 lifts the darks
const float WHITENING = 0.5;    // how far the brightest highlights go towards white
const float BLOOM_STRENGTH = 1.0;
const vec3 LUMA = vec3(0.2126, 0.7152, 0.0722);

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

vec3 toneMap(vec3 hdr)
{
    vec3 exposed = EXPOSURE * max(hdr, vec3(0.0));
    float luminance = dot(exposed, LUMA);
    if (luminance <= 0.0)
        return vec3(0.0);
    float mapped = pow(1.0 - exp(-luminance), TOE);
    vec3 color = exposed * (mapped / luminance);
    // A saturated colour can still have a channel above 1: scale it back
    // into range and let it pale in proportion to how far it overshot.
    float peak = max(color.r, max(color.g, color.b));
    if (peak > 1.0)
        color = mix(color / peak, vec3(1.0), WHITENING * (1.0 - 1.0 / peak));
    return color;
}

void main()
{
    vec3 hdr = texture(screenTexture, texCoord).rgb
        + BLOOM_STRENGTH * texture(bloomTexture, texCoord).rgb;
    fragColor = vec4(encodeSrgb(toneMap(hdr)) * fade, 1.0);
}
