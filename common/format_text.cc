#include "common/format_text.h"

#include <cstring>

namespace kit {
namespace {

// Writes into the buffer while there is room, and counts every character all the same.
class Output {
  public:
    Output(char* buffer, std::size_t size) : m_buffer(buffer), m_size(size) {}

    void Put(char c) {
        if (m_size != 0 && m_length < m_size - 1) m_buffer[m_length] = c;
        ++m_length;
    }
    void Repeat(char c, int count) {
        for (int i = 0; i < count; ++i) Put(c);
    }
    void Write(const char* text, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) Put(text[i]);
    }
    int Finish() {
        if (m_size != 0) m_buffer[m_length < m_size - 1 ? m_length : m_size - 1] = '\0';
        return static_cast<int>(m_length);
    }

  private:
    char* m_buffer;
    std::size_t m_size;
    std::size_t m_length = 0;
};

struct FieldFormat {
    bool left = false;
    bool zero = false;
    int width = 0;
    int precision = -1;  // none
};

// A field: `body` padded to the width, blanks (or zeros after the sign) on the left, or blanks
// on the right with '-'.
void PutField(Output& out, const FieldFormat& field, const char* sign, const char* body,
              std::size_t length, int zeros) {
    const int signLength = static_cast<int>(std::strlen(sign));
    const int used = signLength + zeros + static_cast<int>(length);
    const int pad = field.width > used ? field.width - used : 0;
    if (!field.left && !field.zero) out.Repeat(' ', pad);
    out.Write(sign, static_cast<std::size_t>(signLength));
    if (!field.left && field.zero) out.Repeat('0', pad);
    out.Repeat('0', zeros);
    out.Write(body, length);
    if (field.left) out.Repeat(' ', pad);
}

void PutNumber(Output& out, FieldFormat field, unsigned long value, bool negative, unsigned base,
               bool upper) {
    char digits[24];
    std::size_t count = 0;
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    // A precision of 0 prints nothing for the value 0.
    while (value != 0 || (count == 0 && field.precision != 0)) {
        digits[count++] = set[value % base];
        value /= base;
    }
    char body[24];
    for (std::size_t i = 0; i < count; ++i) body[i] = digits[count - 1 - i];
    int zeros =
        field.precision > static_cast<int>(count) ? field.precision - static_cast<int>(count) : 0;
    // With a precision, the '0' flag is ignored.
    if (field.precision >= 0) field.zero = false;
    PutField(out, field, negative ? "-" : "", body, count, zeros);
}

int ReadNumber(const char** p) {
    int value = 0;
    while (**p >= '0' && **p <= '9') {
        if (value < 100000) value = value * 10 + (**p - '0');
        ++*p;
    }
    return value;
}

}  // namespace

int FormatTextV(char* buffer, std::size_t size, const char* format, std::va_list arguments) {
    Output out(buffer, size);
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            out.Put(*p);
            continue;
        }
        const char* start = p++;
        FieldFormat field;
        for (;; ++p) {
            if (*p == '-') {
                field.left = true;
            } else if (*p == '0') {
                field.zero = true;
            } else {
                break;
            }
        }
        if (*p == '*') {
            field.width = va_arg(arguments, int);
            if (field.width < 0) {
                field.left = true;
                // -INT_MIN does not fit an int: such a width is no width.
                field.width = field.width < -100000 ? 0 : -field.width;
            }
            ++p;
        } else {
            field.width = ReadNumber(&p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                field.precision = va_arg(arguments, int);
                if (field.precision < 0) field.precision = -1;
                ++p;
            } else {
                field.precision = ReadNumber(&p);
            }
        }
        if (field.left) field.zero = false;
        const bool isLong = *p == 'l';
        if (isLong) ++p;
        switch (*p) {
            case 'd':
            case 'i': {
                const long value = isLong ? va_arg(arguments, long) : va_arg(arguments, int);
                // The magnitude in unsigned arithmetic: -LONG_MIN does not fit a long.
                const unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                                          : static_cast<unsigned long>(value);
                PutNumber(out, field, magnitude, value < 0, 10, false);
                break;
            }
            case 'u':
            case 'x':
            case 'X': {
                const unsigned long value =
                    isLong ? va_arg(arguments, unsigned long) : va_arg(arguments, unsigned int);
                PutNumber(out, field, value, false, *p == 'u' ? 10 : 16, *p == 'X');
                break;
            }
            case 'c': {
                const char c = static_cast<char>(va_arg(arguments, int));
                field.zero = false;
                PutField(out, field, "", &c, 1, 0);
                break;
            }
            case 's': {
                const char* text = va_arg(arguments, const char*);
                if (text == nullptr) text = "(null)";
                std::size_t length = 0;
                while (
                    text[length] != '\0' &&
                    (field.precision < 0 || length < static_cast<std::size_t>(field.precision))) {
                    ++length;
                }
                field.zero = false;
                PutField(out, field, "", text, length, 0);
                break;
            }
            case '%':
                out.Put('%');
                break;
            default:
                // Not a conversion the programs use: the text as it stands.
                for (const char* q = start; q <= p && *q != '\0'; ++q) out.Put(*q);
                if (*p == '\0') return out.Finish();
                break;
        }
    }
    return out.Finish();
}

int FormatText(char* buffer, std::size_t size, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const int length = FormatTextV(buffer, size, format, arguments);
    va_end(arguments);
    return length;
}

}  // namespace kit
