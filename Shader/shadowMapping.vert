#version 330 core

// Shadow depth pass: one cube face at a time, projected by that face's own
// matrix.

// Location 0, as in every mesh program, because the pass draws the meshes'
// own vertex arrays.
layout(location = 0) in vec3 position;

uniform mat4 model;
// World space to the clip space of each cube face, in OpenGL's face order.
uniform mat4 shadow_mat[6];
uniform int face;  // the face being drawn, 0 to 5

void main()
{
    vec4 world = model * vec4(position, 1.0);
    gl_Position = shadow_mat[face] * world;
}
