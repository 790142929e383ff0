#include "render/TiffMessages.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tolvane {

namespace {

TIFFErrorHandler previousErrorHandler = nullptr;
TIFFErrorHandler previousWarningHandler = nullptr;

// Older libtiff reports an unknown tag as an error, 4.7 as a warning; both
// come from this one function.
bool aboutUnknownTag(const char* module)
{
    return module != nullptr && std::strcmp(module, "TIFFFieldWithTag") == 0;
}

void filterTiffError(const char* module, const char* format, va_list args)
{
    if (!aboutUnknownTag(module) && previousErrorHandler != nullptr)
        previousErrorHandler(module, format, args);
}

void filterTiffWarning(const char* module, const char* format, va_list args)
{
    if (!aboutUnknownTag(module) && previousWarningHandler != nullptr)
        previousWarningHandler(module, format, args);
}

}  // namespace

void quietUnknownTiffTags()
{
    // Images are decoded on more than one thread; a static's initialisation
    // installs the handler exactly once among them.
    static const bool installed = [] {
        previousErrorHandler = TIFFSetErrorHandler(filterTiffError);
        previousWarningHandler = TIFFSetWarningHandler(filterTiffWarning);
        return true;
    }();
    (void)installed;
}

}  // namespace tolvane
