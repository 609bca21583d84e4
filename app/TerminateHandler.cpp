// The program's handler for an exception that nothing caught: the end, at
// once. libstdc++'s default handler prints the exception's demangled type to
// the standard error stream, which a program without a console does not
// have, and links the whole demangler for it (about 77 KB of the i686
// program). Every window procedure, timer and menu handler of the component
// layer catches and reports; this runs only if something escapes them all.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
