#version 330 core

// The rasteriser's own depth is what the cube map keeps: each face's
// perspective depth, which the lit shaders rebuild from near_far for their
// comparison. With no depth written here, hidden fragments are rejected
// before this stage runs. The alpha-tested variant lets the light through
// the holes of the colour texture.

#ifdef ALPHA_TESTED
#include "alphaTest.glsl"

in vec2 texCoord;

uniform sampler2D textureSampler;
#endif

void main()
{
#ifdef ALPHA_TESTED
    discardHole(texture(textureSampler, texCoord).a);
#endif
}
