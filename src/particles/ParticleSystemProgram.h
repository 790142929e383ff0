#pragma once

#include "render/Material.h"

#include <string>

namespace tolvane {

// The particle simulation step: a program of a vertex and a geometry stage,
// without a fragment stage, whose geometry outputs are captured by transform
// feedback. The seven outputs are declared before linking in the order of
// the particle record, interleaved, so that every captured point is exactly
// one 52-byte record. Bound, queried and destroyed like any Material.
class ParticleSystemProgram : public Material {
public:
    // Both paths are relative to the working directory. Failures to create
    // the program, read, compile or link are fatal.
    ParticleSystemProgram(const std::string& vertexPath, const std::string& geometryPath);
};

}  // namespace tolvane
