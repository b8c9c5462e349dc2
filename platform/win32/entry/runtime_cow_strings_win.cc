// The few members of the runtime's old (reference-counted) std::string that its standard
// exceptions use to keep their message. Any program that can throw std::length_error and the
// like (every std::string and std::vector can) needs them; the runtime keeps them in one object
// with every other member of that string and an unrelated random_device, about 35 KB that the
// linker cannot split. Instantiated here, from the same headers, the linker finds them before it
// searches the runtime, and leaves that object out.
// Compiled with _GLIBCXX_USE_CXX11_ABI=0 (platform/CMakeLists.txt), which makes std::string that
// old string in this file alone.
#include <string>

#if _GLIBCXX_USE_CXX11_ABI
#error "compile this file with _GLIBCXX_USE_CXX11_ABI=0"
#endif

namespace std {

// Explicit instantiations may name private members: these are the ones the runtime's
// exception classes call.
template basic_string<char>::size_type basic_string<char>::_Rep::_S_empty_rep_storage[];
template basic_string<char>::_Rep* basic_string<char>::_Rep::_S_create(size_type, size_type,
                                                                       const allocator<char>&);
template void basic_string<char>::_Rep::_M_destroy(const allocator<char>&);
template void basic_string<char>::_Rep::_M_dispose(const allocator<char>&);
template char* basic_string<char>::_Rep::_M_clone(const allocator<char>&, size_type);
template char* basic_string<char>::_S_construct(size_type, char, const allocator<char>&);
template void basic_string<char>::swap(basic_string<char>&);
template basic_string<char>& basic_string<char>::assign(const basic_string<char>&);

}  // namespace std
