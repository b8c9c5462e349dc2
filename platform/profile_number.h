// How the private-profile functions read a number, for every reader of profile text that must
// answer as GetPrivateProfileIntA does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {

// Reads a number the way the platform's string-to-integer routine does: control characters
// and blanks skipped, one sign, "0x", "0o" or "0b" (lower case only) choosing the base, then
// digits up to the first one that does not belong, wrapping modulo 2^32.
inline unsigned ParseProfileNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        char prefix = text[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit = c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
                         : c >= 'A' && c <= 'Z' ? static_cast<unsigned>(c - 'A' + 10)
                         : c >= 'a' && c <= 'z' ? static_cast<unsigned>(c - 'a' + 10)
                                                : 99u;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

}  // namespace plat
