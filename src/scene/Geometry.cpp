#include "scene/Geometry.h"

namespace tolvane {

Geometry::Geometry() = default;

Geometry::~Geometry() = default;

}  // namespace tolvane
