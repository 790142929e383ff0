// The alpha test of the programs built with ALPHA_TESTED, which draw meshes
// whose colour texture has holes: the lit pass, the depth pre-pass and the
// shadow pass must find the holes in the same texels, or a hole would keep
// the depth, or cast the shadow, of a surface that is not drawn there.
// Pulled in with
//     #include "alphaTest.glsl"
// inside the shader's #ifdef ALPHA_TESTED.

// Below half alpha is a hole: 127 of 255 and less, as Texture::hasCutout
// counts them.
const float ALPHA_CUTOFF = 0.5;

// Ends the fragment where `alpha`, the colour texture's, marks a hole.
void discardHole(float alpha)
{
    if (alpha < ALPHA_CUTOFF)
        discard;
}
