# GoogleTest from Debian's sources in /usr/src/googletest, built with the
# project's compilers: natively with the sanitizer flags, and for Windows
# with the posix-thread mingw compilers (statically linked test programs).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# quell_test(name SOURCES... [LIBS ...]): a test program registered with ctest
# as one test per program (a Windows test program under Wine costs seconds to
# start, so cases are not registered one by one).
function(quell_test name)
  cmake_parse_arguments(QT "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${QT_SOURCES})
  quell_warnings(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${QT_LIBS})
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT QT_TIMEOUT)
    set(QT_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${QT_TIMEOUT} LABELS "${QT_LABELS}")
endfunction()

# The test program `name` once more, for the tier that runs on a display of
# 144 DPI (label dpi144, which the other tiers leave out); it is told the
# density it must find.
function(quell_dpi144_test name)
  add_test(NAME ${name}_dpi144 COMMAND ${name})
  get_test_property(${name} TIMEOUT timeout)
  set_tests_properties(${name}_dpi144 PROPERTIES TIMEOUT ${timeout} LABELS dpi144
    ENVIRONMENT QUELL_EXPECT_DPI=144)
endfunction()
