#include "render/AmbientLight.h"

#include "app/ApplicationState.h"

namespace tolvane {

AmbientLight::AmbientLight() : Light(ambient) {}

}  // namespace tolvane
