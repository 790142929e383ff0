#include "render/Light.h"

namespace tolvane {

Light::Light(float strength) : intensity(strength) {}

Light::~Light() = default;

}  // namespace tolvane
