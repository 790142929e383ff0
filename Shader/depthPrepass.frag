#version 330 core

// Depth only: colour writes are masked off during the pre-pass.

void main()
{
}
