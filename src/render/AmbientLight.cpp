#include "render/AmbientLight.h"

namespace tolvane {

AmbientLight::AmbientLight(float intensity) : Light(intensity) {}

}  // namespace tolvane
