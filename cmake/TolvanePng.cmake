# The one PNG writer of the program and its tools, with the careful file
# writes it needs (src/base), as a library of its own that links FreeImage
# and no GL, so that the content generator can link it too.
# TOLVANE_PNG_INCLUDE_ROOT: the folder its users include "base/..." from
# (the source tree when unset).
if(NOT TARGET tolvane_png)
  get_filename_component(tolvane_png_sources "${CMAKE_CURRENT_LIST_DIR}/../src/base" ABSOLUTE)
  add_library(tolvane_png STATIC "${tolvane_png_sources}/PngFile.cpp" "${tolvane_png_sources}/FileWrite.cpp")
  if(NOT TOLVANE_PNG_INCLUDE_ROOT)
    get_filename_component(TOLVANE_PNG_INCLUDE_ROOT "${tolvane_png_sources}/.." ABSOLUTE)
  endif()
  target_include_directories(tolvane_png PUBLIC "${TOLVANE_PNG_INCLUDE_ROOT}")
  target_link_libraries(tolvane_png PRIVATE FreeImage::FreeImage)
endif()
