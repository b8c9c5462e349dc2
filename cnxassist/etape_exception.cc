#include "cnxassist/etape_exception.h"

#include <cstdio>

#include "common/format_text.h"

CEtapeException::CEtapeException(int code, const char* format, ...) : m_code(code) {
    va_list args;
    va_start(args, format);
    kit::FormatTextV(m_message.data(), m_message.capacity(), format, args);
    va_end(args);
}

util_exception::util_exception(const char* format, ...) {
    va_list args;
    va_start(args, format);
    kit::FormatTextV(m_message.data(), m_message.capacity(), format, args);
    va_end(args);
}
