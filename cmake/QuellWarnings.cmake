# Warnings are errors in our own code, product and test code alike (the C
# stand-ins for the hook library included); third-party code (GoogleTest) is
# built with its own flags.
function(quell_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2 -Werror
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>)
endfunction()
