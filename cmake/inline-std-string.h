// Included before every source of the shipped build (CMakeLists.txt). The C++ runtime declares
// std::string's members as instantiated in its library, so that every program links that
// library's whole std::string object (about 32 KB, which the linker cannot split) for the dozen
// members it calls. The value -1 is the library's own switch that lifts that declaration for
// std::string alone: each program then instantiates, from the same headers, only the members it
// uses. Nothing else changes; the runtime's own few uses of std::string are served by
// platform/win32/entry/runtime_strings_win.cc.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
