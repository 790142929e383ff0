#version 330 core

// The particle record; its velocity (location 1) is not fed to this program.
layout(location = 0) in vec3 vPosition;
layout(location = 2) in vec3 vColor;
layout(location = 3) in float fLifeTime;
layout(location = 4) in float fSize;
layout(location = 5) in float fType;  // the integer type, converted to float on the way in
layout(location = 6) in float fRotation;

out vec3 vColorPass;
out float fLifeTimePass;
out float fSizePass;
flat out int iTypePass;
out float fRotationPass;

void main()
{
    gl_Position = vec4(vPosition, 1.0);  // world space; the geometry stage projects
    vColorPass = vColor;
    fLifeTimePass = fLifeTime;
    fSizePass = fSize;
    iTypePass = int(round(fType));
    fRotationPass = fRotation;
}
