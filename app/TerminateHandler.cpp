// The product's terminate handler.
//
// libstdc++'s default handler prints the type of an uncaught exception to
// standard error, and for that it links the whole C++ name demangler into the
// program: about 77 KB of the statically linked executable. A windows program
// has no standard error to print to, so the product replaces it with a plain
// abort, which is what the default handler does after printing. The test
// programs keep the library's handler and its message.
#include <cstdlib>

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
