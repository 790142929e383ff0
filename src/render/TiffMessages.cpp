#include "render/TiffMessages.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tolvane {

namespace {

TIFFErrorHandler previousHandler = nullptr;

void filterTiffError(const char* module, const char* format, va_list args)
{
    if (module != nullptr && std::strcmp(module, "TIFFFieldWithTag") == 0)
        return;
    if (previousHandler != nullptr)
        previousHandler(module, format, args);
}

}  // namespace

void quietUnknownTiffTags()
{
    // Images are decoded on more than one thread; a static's initialisation
    // installs the handler exactly once among them.
    static const bool installed = [] {
        previousHandler = TIFFSetErrorHandler(filterTiffError);
        return true;
    }();
    (void)installed;
}

}  // namespace tolvane
