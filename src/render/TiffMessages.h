#pragma once

namespace tolvane {

// FreeImage asks libtiff about every EXIF tag it knows while reading a TIFF
// file, and libtiff reports each tag it does not know itself as an "internal
// error" on the console: dozens of lines per image that mean nothing. This
// installs (once) a libtiff error handler that drops exactly those reports
// and prints every other libtiff error as before.
void quietUnknownTiffTags();

}  // namespace tolvane
