#version 330 core

// Composition: scene plus bloom, tone mapped to display range, sRGB encoded
// for the (linear) default framebuffer, then the global fade.
//
// The film is a night scene lit by a weak ambient light and a few small
// lamps: most of the picture sits far down in the darks, and the flames and
// windows far above white. The darks get a gain of 2.5 on top of the
// exposure, so that the moonlit clearing reads on an ordinary screen. The
// gain is flat through the darks, which keeps the grass, the path and the
// stones as contrasty as lit surfaces, and gives way to the plain exposure
// in the lower mid-tones, where the curve bends instead; a shadow on a lit
// wall stays a shadow. A toe at the very bottom sinks the deepest darks
// towards black, so that near trunks stand out against the misty woods
// behind them. The curve works on luminance, not per channel, so a flame
// keeps its colour instead of burning out to a flat white patch; only what
// lies far above white is let towards white.

const float EXPOSURE = 1.9;
const float KNEE = 0.5;            // the curve is straight up to here, then eases towards 1
const float TOE = 0.0008;          // below about this luminance the curve bends towards black
const float DARK_GAIN = 1.5;       // extra gain through the darks ...
const float DARK_GAIN_END = 0.05;  // ... halved at this luminance, gone by the mid-tones
const float WHITENING = 0.5;       // how far the brightest highlights go towards white
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
    float mapped = luminance < KNEE
        ? luminance
        : KNEE + (1.0 - KNEE) * (1.0 - exp(-(luminance - KNEE) / (1.0 - KNEE)));
    mapped = mapped * mapped / (mapped + TOE);
    float share = mapped / DARK_GAIN_END;
    mapped *= 1.0 + DARK_GAIN / (1.0 + share * share * share);
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
    // Never a NaN or infinity on screen, whatever a pass let through.
    hdr = any(isnan(hdr)) || any(isinf(hdr)) ? vec3(0.0) : hdr;
    fragColor = vec4(encodeSrgb(toneMap(hdr)) * fade, 1.0);
}
