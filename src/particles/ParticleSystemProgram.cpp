#include "particles/ParticleSystemProgram.h"

#include "base/Diagnostics.h"

namespace tolvane {

namespace {

// Record order: position, velocity, colour, lifetime, size, type, rotation.
const char* const kFeedbackOutputs[] = {
    "vPositionOut", "vVelocityOut", "vColorOut", "fLifeTimeOut", "fSizeOut", "iTypeOut", "fRotationOut",
};

}  // namespace

ParticleSystemProgram::ParticleSystemProgram(const std::string& vertexPath, const std::string& geometryPath)
{
    if (!program_)
        fatalError("Could not retrieve program handle!");
    vertexShader_ = compileShader(vertexPath, GL_VERTEX_SHADER);
    geometryShader_ = compileShader(geometryPath, GL_GEOMETRY_SHADER);
    glTransformFeedbackVaryings(program(), 7, kFeedbackOutputs, GL_INTERLEAVED_ATTRIBS);
    link();
}

}  // namespace tolvane
