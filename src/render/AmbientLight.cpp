#include "render/AmbientLight.h"

namespace tolvane {

AmbientLight::AmbientLight(float strength) : Light(strength) {}

}  // namespace tolvane
