#pragma once

namespace tolvane {

// FreeImage asks libtiff about every EXIF tag it knows while reading a TIFF
// file, and libtiff reports each tag it does not know itself on the console,
// as an "internal error" before 4.7 and as a warning since: dozens of lines
// per image that mean nothing. This installs (once) libtiff error and
// warning handlers that drop exactly those reports and print every other
// libtiff message as before.
void quietUnknownTiffTags();

}  // namespace tolvane
