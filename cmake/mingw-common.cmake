# The win32 thread model of mingw-w64 has no std::mutex, which GoogleTest
# needs, so the -posix compilers are used throughout; everything links
# statically so that no libstdc++, libgcc or winpthread DLL is ever needed.
set(CMAKE_C_COMPILER ${QUELL_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELL_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELL_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUELL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
