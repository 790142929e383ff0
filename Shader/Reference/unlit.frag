#version 330 core

// Bench reference: one texture fetch, no lighting, both scene outputs.

in vec2 texCoord;

uniform sampler2D textureSampler;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 brightColor;

void main()
{
    fragColor = texture(textureSampler, texCoord);
    brightColor = vec4(0.0);
}
