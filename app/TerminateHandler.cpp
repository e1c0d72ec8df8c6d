// The installer's own end for an exception nothing caught (nothing should:
// no exception crosses a Win32 callback, and the window and the worker catch
// what reaches them). The C++ runtime's default handler writes the
// exception's demangled type to standard error first, which a program
// without a console never shows, and brings the whole demangler along:
// about 60 KB of a download every user makes. Linked as an object of the
// executable, so it stands in for the runtime's handler of the same name.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
