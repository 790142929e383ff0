#include "render/AmbientLight.h"

#include "app/Application.h"

namespace tolvane {

AmbientLight::AmbientLight() : Light(ambient) {}

}  // namespace tolvane
