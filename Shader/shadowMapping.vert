#version 330 core

// Shadow depth pass: one cube face at a time, projected by that face's own
// matrix.

// Location 0, as in every mesh program, because the pass draws the meshes'
// own vertex arrays; the alpha-tested variant reads uv at location 1 for
// the same reason.
layout(location = 0) in vec3 position;
#ifdef ALPHA_TESTED
layout(location = 1) in vec2 uv;

out vec2 texCoord;
#endif

uniform mat4 model;
// World space to the clip space of each cube face, in OpenGL's face order.
uniform mat4 shadow_mat[6];
uniform int face;  // the face being drawn, 0 to 5

void main()
{
    vec4 world = model * vec4(position, 1.0);
    gl_Position = shadow_mat[face] * world;
#ifdef ALPHA_TESTED
    texCoord = uv;
#endif
}
