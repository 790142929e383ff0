#version 330 core

uniform vec3 materialColor;

out vec4 fragColor;
// Second target of the HDR framebuffer: only what is bright enough to bloom.
layout(location = 1) out vec4 brightColor;

const float bloomThreshold = 1.0;

void main()
{
    fragColor = vec4(materialColor, 1.0);
    float luminance = dot(materialColor, vec3(0.2126, 0.7152, 0.0722));
    brightColor = luminance > bloomThreshold ? vec4(materialColor, 1.0) : vec4(0.0, 0.0, 0.0, 1.0);
}
