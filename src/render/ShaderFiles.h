#pragma once

// Every GLSL file the program loads, relative to its working directory.
namespace tolvane::ShaderFiles {

inline constexpr const char* kSpecularVertex = "Shader/specular.vert";
inline constexpr const char* kSpecularFragment = "Shader/specular.frag";
inline constexpr const char* kNormalMapVertex = "Shader/normalMap.vert";
inline constexpr const char* kNormalMapFragment = "Shader/normalMap.frag";
inline constexpr const char* kLightVertex = "Shader/light.vert";
inline constexpr const char* kLightFragment = "Shader/light.frag";
inline constexpr const char* kSpriteVertex = "Shader/sprite.vert";
inline constexpr const char* kSpriteFragment = "Shader/sprite.frag";
inline constexpr const char* kShadowVertex = "Shader/shadowMapping.vert";
inline constexpr const char* kShadowFragment = "Shader/shadowMapping.frag";
inline constexpr const char* kColorVertex = "Shader/color.vert";
inline constexpr const char* kColorFragment = "Shader/color.frag";
inline constexpr const char* kFontVertex = "Shader/font.vert";
inline constexpr const char* kFontFragment = "Shader/font.frag";
inline constexpr const char* kParticleUpdateVertex = "Shader/ParticleSystem/update.vert";
inline constexpr const char* kParticleUpdateGeometry = "Shader/ParticleSystem/update.geom";
inline constexpr const char* kParticleBillboardVertex = "Shader/ParticleSystem/billboard.vert";
inline constexpr const char* kParticleBillboardFragment = "Shader/ParticleSystem/billboard.frag";
inline constexpr const char* kParticleBillboardGeometry = "Shader/ParticleSystem/billboard.geom";
inline constexpr const char* kScreenVertex = "Shader/PostProcessing/screen.vert";
inline constexpr const char* kScreenFragment = "Shader/PostProcessing/screen.frag";
inline constexpr const char* kBlurVertex = "Shader/PostProcessing/blur.vert";
inline constexpr const char* kBlurFragment = "Shader/PostProcessing/blur.frag";
inline constexpr const char* kDepthPrepassVertex = "Shader/depthPrepass.vert";
inline constexpr const char* kDepthPrepassFragment = "Shader/depthPrepass.frag";
// Not a stage: the lighting both lit fragment shaders take in by #include.
inline constexpr const char* kLightingInclude = "Shader/lighting.glsl";
// Not a stage: the alpha test the alpha-tested variants take in by #include.
inline constexpr const char* kAlphaTestInclude = "Shader/alphaTest.glsl";

// Builds the alpha-tested variant of the normal-map, depth pre-pass and
// shadow programs from their own files (see Material's defines): it reads
// the colour texture and discards the texels of alpha below one half.
inline constexpr const char* kAlphaTested = "ALPHA_TESTED";

// Builds the normal-map program for meshes that only glow: their colour is
// their emission times their albedo, through the mist, whatever the lights.
inline constexpr const char* kSelfLit = "SELF_LIT";

// All of the above, so tools and tests can check that the set is complete.
inline constexpr const char* kAll[] = {
    kSpecularVertex,
    kSpecularFragment,
    kNormalMapVertex,
    kNormalMapFragment,
    kLightVertex,
    kLightFragment,
    kSpriteVertex,
    kSpriteFragment,
    kShadowVertex,
    kShadowFragment,
    kColorVertex,
    kColorFragment,
    kFontVertex,
    kFontFragment,
    kParticleUpdateVertex,
    kParticleUpdateGeometry,
    kParticleBillboardVertex,
    kParticleBillboardFragment,
    kParticleBillboardGeometry,
    kScreenVertex,
    kScreenFragment,
    kBlurVertex,
    kBlurFragment,
    kDepthPrepassVertex,
    kDepthPrepassFragment,
    kLightingInclude,
    kAlphaTestInclude,
};

}  // namespace tolvane::ShaderFiles
