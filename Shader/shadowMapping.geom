#version 330 core

// Sends every triangle to the six layers of the cube map, skipping the faces
// whose view volume it cannot touch.

layout(triangles) in;
layout(triangle_strip, max_vertices = 18) out;

// World space to the clip space of each cube face, in OpenGL's face order.
uniform mat4 shadow_mat[6];

// True when all three corners lie beyond one and the same clip plane.
bool outside(vec4 a, vec4 b, vec4 c)
{
    return (a.x > a.w && b.x > b.w && c.x > c.w)
        || (a.x < -a.w && b.x < -b.w && c.x < -c.w)
        || (a.y > a.w && b.y > b.w && c.y > c.w)
        || (a.y < -a.w && b.y < -b.w && c.y < -c.w)
        || (a.z > a.w && b.z > b.w && c.z > c.w)
        || (a.z < -a.w && b.z < -b.w && c.z < -c.w);
}

void main()
{
    for (int face = 0; face < 6; ++face) {
        vec4 corners[3];
        for (int i = 0; i < 3; ++i)
            corners[i] = shadow_mat[face] * gl_in[i].gl_Position;
        if (outside(corners[0], corners[1], corners[2]))
            continue;
        for (int i = 0; i < 3; ++i) {
            gl_Layer = face;
            gl_Position = corners[i];
            EmitVertex();
        }
        EndPrimitive();
    }
}
