#pragma once

#include <string>

namespace tolvane {

// Reads the key=value settings file into the application's settings
// (width, height, fullscreen, refreshRate, ambient, intensity), keeping the
// built-in default of every setting the file does not set, then prints the
// resolution line. A missing file is reported and never fatal.
void readConfig(const std::string& path);

}  // namespace tolvane
