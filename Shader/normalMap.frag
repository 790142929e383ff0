#version 330 core

// Lit, normal-mapped mesh: Blinn-Phong in linear light with the normal taken
// from a tangent-space normal map, point lights with soft cube-map shadows,
// bloom source in the second output. Built with ALPHA_TESTED, for meshes
// whose colour texture has holes, it discards them. Built with SELF_LIT, for
// meshes that reflect no light and only glow (the sky, the moon), it skips
// the lights, the shadow lookup and the normal map: such a mesh may cover
// half the picture, and the lighting is most of a lit fragment's cost.

#include "lighting.glsl"
#ifdef ALPHA_TESTED
#include "alphaTest.glsl"
#endif

in vec3 worldTangent;
in vec3 worldBiTangent;
in vec3 tint;

uniform sampler2D normalMapSampler;

// The interpolated frame is no longer orthonormal: Gram-Schmidt the tangent
// against the normal and rebuild the bitangent, keeping the handedness of
// the mesh's own bitangent (mirrored UVs flip it).
vec3 mappedNormal(vec3 normal)
{
    vec3 helper = abs(normal.y) < 0.9 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0);
    vec3 tangent = normalizeOr(worldTangent - normal * dot(normal, worldTangent), normalize(cross(helper, normal)));
    vec3 biTangent = cross(normal, tangent);
    if (dot(biTangent, worldBiTangent) < 0.0)
        biTangent = -biTangent;
    // The normal map is stored linear: bytes map straight to -1..1.
    vec3 local = texture(normalMapSampler, texCoord).rgb * 2.0 - 1.0;
    return normalize(mat3(tangent, biTangent, normal) * local);
}

void main()
{
    vec4 texel = texture(textureSampler, texCoord);
    vec3 albedo = materialColor * texel.rgb * tint;
#ifdef SELF_LIT
    writeOutputs(emission * albedo, texel.a);
#else
    vec3 normal = surfaceNormal();
    writeOutputs(shade(worldPosition, mappedNormal(normal), normal, albedo), texel.a);
#endif
#ifdef ALPHA_TESTED
    // Only now: the derivatives above (the face normal, the textures' mip
    // levels) need every pixel of the 2 x 2 block still running.
    discardHole(texel.a);
#endif
}
