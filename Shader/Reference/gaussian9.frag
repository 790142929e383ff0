#version 330 core

// Bench reference: the common 9-tap Gaussian, one direction per pass, its
// neighbouring taps paired into 5 bilinear fetches.

const float OFFSETS[3] = float[](0.0, 1.3846153846, 3.2307692308);
const float WEIGHTS[3] = float[](0.2270270270, 0.3162162162, 0.0702702703);

in vec2 texCoord;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

void main()
{
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 direction = horizontal != 0 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, texCoord).rgb * WEIGHTS[0];
    for (int i = 1; i < 3; ++i) {
        vec2 offset = direction * OFFSETS[i];
        sum += (texture(image, texCoord + offset).rgb + texture(image, texCoord - offset).rgb) * WEIGHTS[i];
    }
    fragColor = vec4(sum, 1.0);
}
