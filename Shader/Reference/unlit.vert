#version 330 core

// Bench reference: the least a mesh draw costs, position only.

layout(location = 0) in vec3 position;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 texCoord;

void main()
{
    vec4 world = model * vec4(position, 1.0);
    texCoord = world.xz;
    gl_Position = projection * view * world;
}
