# i686 Windows (PE32), the product. This machine cannot run 32-bit code, so
# the build is checked through its PE headers instead of being executed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUELL_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
