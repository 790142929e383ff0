#version 330 core

// Bench reference: the shadow pass's raster cost alone; depth is the
// rasteriser's own.

void main()
{
}
