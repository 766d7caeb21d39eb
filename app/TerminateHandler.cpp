// What ends the program when a failure gets past every handler of its own
// (an exception out of a noexcept function, or one nobody catches): at once,
// with 1359 (ERROR_INTERNAL_ERROR), the exit code of a failure of Torvane's
// own. libstdc++ calls its terminate handler by this name; its own one
// writes the exception's type to a standard error Torvane seldom has, and
// brings the C++ demangler and mingw's printf into the executable to do it.

#include <exception>

#if defined(__GLIBCXX__)

#include <windows.h>

namespace __gnu_cxx {

void __verbose_terminate_handler() { TerminateProcess(GetCurrentProcess(), ERROR_INTERNAL_ERROR); }

} // namespace __gnu_cxx

#endif
