#pragma once

#include "app/Settings.h"

#include <string>

namespace tolvane {

// Reads the key=value settings file into `settings`, keeping what `settings`
// holds for every key the file does not set, then prints the resolution
// line. A missing file is reported and never fatal. Needs nothing but the
// console: no GL, no window.
void readConfig(const std::string& path, Settings& settings);

}  // namespace tolvane
