// printf-style formatting into a fixed buffer, for the programs' messages and key names.
//
// The C runtime's snprintf brings MinGW's whole formatting engine into each program (floating
// point, wide characters, locales: some 27 KB of a shipped .exe), for a handful of "%s" and "%d".
// This one knows what the programs use: the conversions d, i, u, x, X, c, s and %%, the flags
// '-' and '0', a width and a precision (each a number or '*'), and the length modifier l.
// Anything else is copied as it stands. The compiler checks every call as it checks printf.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace kit {

// As C99's vsnprintf: writes at most `size` - 1 characters and a NUL (nothing when `size` is
// 0), and returns the length the whole result has, so that a result >= `size` tells a cut.
int FormatTextV(char* buffer, std::size_t size, const char* format, std::va_list arguments);

__attribute__((format(printf, 3, 4))) int FormatText(char* buffer, std::size_t size,
                                                     const char* format, ...);

}  // namespace kit
