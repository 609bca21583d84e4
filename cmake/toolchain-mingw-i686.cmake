# i686 Windows (PE32), the product, with the posix-thread mingw-w64 compilers;
# the test executables run under 32-bit Wine (Debian's wine32, in a prefix
# made with WINEARCH=win32) through the crosscompiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUELL_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
