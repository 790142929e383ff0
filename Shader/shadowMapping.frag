#version 330 core

// Stores the linear distance from the light divided by the far plane, so the
// lit shaders compare distances in world units whatever the face.

in vec3 worldPosition;

uniform vec4 l_pos;     // light position in world space, w = 1
uniform vec2 near_far;  // near and far plane distances

void main()
{
    gl_FragDepth = length(worldPosition - l_pos.xyz) / near_far.y;
}
