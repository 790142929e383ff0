#version 330 core

// One direction of a separable Gaussian (sigma 6 texels, radius 20 texels).
// Ten alternating passes add up to a Gaussian of sigma 6 x sqrt(5), about
// 13.4 texels, in each direction. Neighbouring taps are paired and read with
// one bilinear fetch at their weighted centre, which gives exactly the two
// weights: 21 fetches instead of 41. The weights are normalised to sum 1.

const float CENTER_WEIGHT = 0.06653195;
const float OFFSETS[10] = float[](
    1.48958484, 3.47571357, 5.46187967, 7.44810423, 9.43440797,
    11.42081115, 13.40733340, 15.39399368, 17.38081012, 19.36779996);
const float WEIGHTS[10] = float[](
    0.12855081, 0.11198886, 0.08736835, 0.06103960, 0.03818965,
    0.02139706, 0.01073579, 0.00482373, 0.00194087, 0.00069931);

in vec2 texCoord;

uniform sampler2D image;  // texture unit 0, linear filtering
uniform int horizontal;   // 1 horizontal pass, 0 vertical

out vec4 fragColor;

void main()
{
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 direction = horizontal != 0 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, texCoord).rgb * CENTER_WEIGHT;
    for (int i = 0; i < 10; ++i) {
        vec2 offset = direction * OFFSETS[i];
        sum += (texture(image, texCoord + offset).rgb + texture(image, texCoord - offset).rgb)
            * WEIGHTS[i];
    }
    fragColor = vec4(sum, 1.0);
}
