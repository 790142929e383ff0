#version 330 core

// One direction of a progressive blur: every pass applies the binomial
// kernel 1 3 3 1 (weights 1/8, 3/8, 3/8, 1/8) with its taps STRIDE texels
// apart, read as four fetches at +-0.5 and +-1.5 strides, and the stride
// grows from one pair of passes to the next. Each pass widens what the
// passes before it left, so the gaps between its taps are already filled
// and nothing bands or rings; the ten passes together come close to a
// Gaussian of sigma 13 texels in each direction (variance 1 + 0.75 x the
// squared strides of the later passes), with four fetches a pass where the
// common 9-tap Gaussian needs five and reaches sigma 3.8.
//
// On the first pair the stride is one texel and the taps fall between
// texels: the bilinear fetch then averages two of them, which turns the
// pass into the five-texel kernel 1 4 6 4 1 for the same four fetches.

in vec2 texCoord;

uniform sampler2D image;  // texture unit 0, linear filtering
uniform int horizontal;   // 1 horizontal pass, 0 vertical
uniform int blurPass;     // 0 to 9; passes 2k and 2k+1 share one stride

out vec4 fragColor;

// Texels between taps for passes 2k and 2k+1: 1, 2, 4, 8, then 12, which
// brings the whole to about the width the bloom has always had.
float stride()
{
    int k = clamp(blurPass / 2, 0, 4);
    return k < 4 ? float(1 << k) : 12.0;
}

void main()
{
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 direction = (horizontal != 0 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y)) * stride();
    vec3 near = texture(image, texCoord - 0.5 * direction).rgb
        + texture(image, texCoord + 0.5 * direction).rgb;
    vec3 far = texture(image, texCoord - 1.5 * direction).rgb
        + texture(image, texCoord + 1.5 * direction).rgb;
    fragColor = vec4(near * 0.375 + far * 0.125, 1.0);
}
