#version 330 core

// Depth only: colour writes are masked off during the pre-pass. The
// alpha-tested variant leaves the holes of the colour texture without
// depth, so that the lit pass still draws what lies behind them.

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
