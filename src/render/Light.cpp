#include "render/Light.h"

namespace tolvane {

Light::Light(float intensity) : intensity(intensity) {}

Light::~Light() = default;

}  // namespace tolvane
