// The two error types of the connection wizard: CEtapeException travels from a step to the
// window, which shows it (and ends the run when it is fatal); util_exception comes out of the
// utility code, the registry script among it.
#pragma once

#include <cstdarg>

#include "common/bounded_text.h"

class CEtapeException {
  public:
    // code 0 is fatal, any other code a warning. The message is formatted printf-style and cut
    // to 255 characters.
    CEtapeException(int code, const char* format, ...) __attribute__((format(printf, 3, 4)));

    int Code() const { return m_code; }
    const char* Message() const { return m_message.c_str(); }

  private:
    int m_code;
    kit::FixedText<256> m_message;
};

class util_exception {
  public:
    // Formatted printf-style and cut to 511 characters.
    explicit util_exception(const char* format, ...) __attribute__((format(printf, 2, 3)));

    const char* Message() const { return m_message.c_str(); }

  private:
    kit::FixedText<512> m_message;
};
