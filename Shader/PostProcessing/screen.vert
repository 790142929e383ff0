#version 330 core

// Full-screen quad of the composition.

layout(location = 0) in vec2 position;
layout(location = 1) in vec2 quadCoord;

out vec2 texCoord;

void main()
{
    texCoord = quadCoord;
    gl_Position = vec4(position, 0.0, 1.0);
}
