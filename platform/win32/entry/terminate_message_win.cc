// What a program says when an exception reaches std::terminate. The C++ runtime's own handler
// says the same, but decodes the exception's type name with its demangler, which alone weighs
// about 46 KB, a fifth of a small program: this one prints the type name as the compiler
// stores it, and ends the program as the runtime's does, with abort().
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

namespace __gnu_cxx {

// Replaces the runtime's definition: the linker takes this one and never pulls the demangler.
void __verbose_terminate_handler() {
    static bool terminating = false;
    if (terminating) {
        std::fputs("terminate called recursively\n", stderr);
        std::abort();
    }
    terminating = true;
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type == nullptr) {
        std::fputs("terminate called without an active exception\n", stderr);
        std::abort();
    }
    const char* name = type->name();
    // The runtime marks some names with a leading '*' (types local to one module).
    if (*name == '*') ++name;
    // fputs, not fprintf: a format would bring the C runtime's whole printf into the program.
    std::fputs("terminate called after throwing an instance of '", stderr);
    std::fputs(name, stderr);
    std::fputs("'\n", stderr);
    try {
        throw;
    } catch (const std::exception& error) {
        std::fputs("  what():  ", stderr);
        std::fputs(error.what(), stderr);
        std::fputs("\n", stderr);
    } catch (...) {
    }
    std::abort();
}

}  // namespace __gnu_cxx
