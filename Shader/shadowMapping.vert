#version 330 core

// Shadow depth pass: world position only; the geometry stage projects each
// triangle onto the six cube faces.

// Location 0, as in every mesh program, because the pass draws the meshes'
// own vertex arrays.
layout(location = 0) in vec3 position;

uniform mat4 model;

void main()
{
    gl_Position = model * vec4(position, 1.0);
}
