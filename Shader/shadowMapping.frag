#version 330 core

// The rasteriser's own depth is what the cube map keeps: each face's
// perspective depth, which the lit shaders rebuild from near_far for their
// comparison. With no depth written here, hidden fragments are rejected
// before this stage runs.

void main()
{
}
