#version 330 core

// Lit mesh without a normal map: Blinn-Phong in linear light, point lights
// with soft cube-map shadows, bloom source in the second output.

#include "lighting.glsl"

void main()
{
    vec3 normal = surfaceNormal();
    // Colour textures are sRGB: sampling returns linear values.
    vec4 texel = texture(textureSampler, texCoord);
    vec3 albedo = materialColor * texel.rgb;
    writeOutputs(shade(worldPosition, normal, normal, albedo), texel.a);
}
