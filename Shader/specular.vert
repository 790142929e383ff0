#version 330 core

// Lit mesh without a normal map: lighting is done per fragment in world space.

layout(location = 0) in vec3 position;
in vec3 normal;
// Location 1 in every mesh program (see normalMap.vert).
layout(location = 1) in vec2 uv;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;

// Matches the depth pre-pass bit for bit.
invariant gl_Position;

void main()
{
    vec4 world = model * vec4(position, 1.0);
    worldPosition = world.xyz;
    // The inverse transpose keeps normals perpendicular under non-uniform scale.
    worldNormal = transpose(inverse(mat3(model))) * normal;
    texCoord = uv;
    gl_Position = projection * view * world;
}
