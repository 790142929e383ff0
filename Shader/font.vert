#version 330 core

// x, y: window pixels (y up); z, w: glyph texture coordinate.
layout(location = 0) in vec4 vertex;

uniform mat4 projection;

out vec2 texCoord;

void main()
{
    gl_Position = projection * vec4(vertex.xy, 0.0, 1.0);
    texCoord = vertex.zw;
}
