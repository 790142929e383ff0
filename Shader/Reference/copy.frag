#version 330 core

// Bench reference: one fetch per pixel, the least a full-screen pass costs.

in vec2 texCoord;

uniform sampler2D image;

out vec4 fragColor;

void main()
{
    fragColor = vec4(texture(image, texCoord).rgb, 1.0);
}
