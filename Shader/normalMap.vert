#version 330 core

// Lit, normal-mapped mesh: passes the tangent frame in world space; the
// fragment stage re-orthogonalises it after interpolation.

layout(location = 0) in vec3 position;
in vec3 normal;
// Fixed, as the position is, in every program that sets up a mesh's vertex
// array: the alpha-tested depth and shadow programs read uv from that
// array at location 1.
layout(location = 1) in vec2 uv;
in vec3 tangent;
in vec3 biTangent;
in vec3 color;  // linear factor on the albedo, white where the mesh has none

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBiTangent;
out vec2 texCoord;
out vec3 tint;

// Matches the depth pre-pass bit for bit.
invariant gl_Position;

void main()
{
    vec4 world = model * vec4(position, 1.0);
    mat3 tangentMatrix = mat3(model);
    worldPosition = world.xyz;
    // Normals need the inverse transpose; tangents lie in the surface and
    // follow the model matrix itself.
    worldNormal = transpose(inverse(tangentMatrix)) * normal;
    worldTangent = tangentMatrix * tangent;
    worldBiTangent = tangentMatrix * biTangent;
    texCoord = uv;
    tint = color;
    gl_Position = projection * view * world;
}
