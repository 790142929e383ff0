#include "app/DemoState.h"

namespace tolvane {

DemoState demo;

}  // namespace tolvane
