#version 330 core

// Animated sprite on a quad: maps the quad's 0..1 texture coordinates into
// the current frame of the sprite sheet.

layout(location = 0) in vec3 position;
// Location 1 in every mesh program (see normalMap.vert).
layout(location = 1) in vec2 uv;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
// Current frame: lower-left corner (x, y) and size (z, w) in texture space.
uniform vec4 spriteFrame;

out vec2 texCoord;

void main()
{
    texCoord = spriteFrame.xy + uv * spriteFrame.zw;
    gl_Position = projection * view * model * vec4(position, 1.0);
}
