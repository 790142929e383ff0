#version 330 core

// Depth pre-pass of the opaque meshes: position only, transformed exactly as
// the lit programs transform it, so that their fragments meet this depth
// with equal values and pass the LEQUAL test.

layout(location = 0) in vec3 position;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

invariant gl_Position;

void main()
{
    vec4 world = model * vec4(position, 1.0);
    gl_Position = projection * view * world;
}
