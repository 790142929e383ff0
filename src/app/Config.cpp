#include "app/Config.h"

#include "base/Diagnostics.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace tolvane {

namespace {

// The longest prefix that strtod reads as a number counts, converted to
// double and narrowed to float. A value that is no number, or lies outside
// the range of double, keeps the setting as it was and says why.
void convertFloat(const std::string& value, float& setting)
{
    const char* text = value.c_str();
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text, &end);
    if (end == text)
        logMessage("invalid stof argument");
    else if (errno == ERANGE)
        logMessage("stof argument out of range");
    else
        setting = static_cast<float>(number);
}

void applySetting(const std::string& key, const std::string& value, Settings& settings)
{
    if (key == "fullscreen")
        settings.fullscreen = std::atoi(value.c_str()) == 1;
    else if (key == "width")
        settings.width = std::atoi(value.c_str());
    else if (key == "height")
        settings.height = std::atoi(value.c_str());
    else if (key == "refresh_rate")
        settings.refreshRate = std::atoi(value.c_str());
    else if (key == "ambient")
        convertFloat(value, settings.ambient);
    else if (key == "intensity")
        convertFloat(value, settings.intensity);
}

void readSettings(std::ifstream& file, Settings& settings)
{
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == line.size())
            continue;
        applySetting(line.substr(0, equals), line.substr(equals + 1), settings);
    }
}

}  // namespace

void readConfig(const std::string& path, Settings& settings)
{
    std::ifstream file(path);
    if (file) {
        readSettings(file, settings);
        file.close();
    } else {
        logMessage("Unable to open configuration file");
    }
    logMessage("Resolution: %ix%i, FullScreenMode: %d\n", settings.width, settings.height, settings.fullscreen ? 1 : 0);
}

}  // namespace tolvane
