#version 330 core

// One particle record per point, at the record's fixed attribute slots.
layout(location = 0) in vec3 vPosition;
layout(location = 1) in vec3 vVelocity;
layout(location = 2) in vec3 vColor;
layout(location = 3) in float fLifeTime;
layout(location = 4) in float fSize;
layout(location = 5) in float fType;  // the integer type, converted to float on the way in
layout(location = 6) in float fRotation;

out vec3 vPositionPass;
out vec3 vVelocityPass;
out vec3 vColorPass;
out float fLifeTimePass;
out float fSizePass;
flat out int iTypePass;
out float fRotationPass;

void main()
{
    vPositionPass = vPosition;
    vVelocityPass = vVelocity;
    vColorPass = vColor;
    fLifeTimePass = fLifeTime;
    fSizePass = fSize;
    iTypePass = int(round(fType));
    fRotationPass = fRotation;
}
