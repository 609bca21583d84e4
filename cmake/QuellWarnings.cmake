# Warnings are errors in our own code; third-party code (GoogleTest) is
# built with its own flags.
function(quell_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wformat=2 -Werror)
endfunction()
