# The program's version resource header for a given four-part version: the
# product uses the project's version; the installer tests build a second,
# newer program from the same sources with a raised version.
function(quell_write_version_header path version)
  string(REPLACE "." ";" parts "${version}")
  list(LENGTH parts count)
  if(NOT count EQUAL 4)
    message(FATAL_ERROR "a program version has four parts: ${version}")
  endif()
  list(GET parts 0 QUELL_RC_VERSION_MAJOR)
  list(GET parts 1 QUELL_RC_VERSION_MINOR)
  list(GET parts 2 QUELL_RC_VERSION_PATCH)
  list(GET parts 3 QUELL_RC_VERSION_TWEAK)
  set(QUELL_RC_VERSION "${version}")
  configure_file(${PROJECT_SOURCE_DIR}/app/res/version.h.in ${path} @ONLY)
endfunction()
