#version 330 core

// Depth pre-pass of the opaque meshes: position only, transformed exactly as
// the lit programs transform it, so that their fragments meet this depth
// with equal values and pass the LEQUAL test. The alpha-tested variant
// passes the texture coordinate on as well, for the fragment stage to find
// the holes.

layout(location = 0) in vec3 position;
#ifdef ALPHA_TESTED
// Location 1, where every mesh program reads it: the pass draws the meshes'
// own vertex arrays.
layout(location = 1) in vec2 uv;

out vec2 texCoord;
#endif

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

invariant gl_Position;

void main()
{
    vec4 world = model * vec4(position, 1.0);
    gl_Position = projection * view * world;
#ifdef ALPHA_TESTED
    texCoord = uv;
#endif
}
