#version 330 core

in vec2 texCoord;

uniform sampler2D glyphTexture;  // unit 0; red holds the coverage
uniform vec3 color;
uniform float opacity;  // 0 invisible .. 1 opaque

out vec4 fragColor;

void main()
{
    fragColor = vec4(color, opacity * texture(glyphTexture, texCoord).r);
}
