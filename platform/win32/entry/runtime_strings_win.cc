// The two members of std::string that the runtime's own small-string helper (used by its
// standard exceptions) calls. The runtime keeps them in one object with every other member of
// std::string, about 32 KB that the linker cannot split; our code instantiates the members it
// uses itself (the shipped build, cmake/inline-std-string.h). Instantiated here, from the same
// headers, the linker finds these two before it searches the runtime, and leaves that object out.
#include <string>

namespace std::__cxx11 {

// Explicit instantiations may name private members.
template char* basic_string<char>::_M_create(size_type&, size_type);
template void basic_string<char>::_M_assign(const basic_string<char>&);

}  // namespace std::__cxx11
