// The programs' own formatter against the C library's snprintf, which follows C99: the same
// text and the same returned length for every conversion, flag and cut the programs may use.
#include "common/format_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

// Formats with both, into a buffer of `size` bytes, and compares text and length. The size is
// read at run time, so that the compiler does not warn of the cuts these cases make on purpose.
#define EXPECT_FORMATS_AS_C(size, ...)                                           \
    do {                                                                         \
        char ours[64] = "untouched";                                             \
        char theirs[64] = "untouched";                                           \
        volatile std::size_t runtimeSize = size;                                 \
        const int ourLength = kit::FormatText(ours, runtimeSize, __VA_ARGS__);   \
        const int theirLength = std::snprintf(theirs, runtimeSize, __VA_ARGS__); \
        EXPECT_EQ(theirLength, ourLength) << #__VA_ARGS__;                       \
        EXPECT_EQ(std::string(theirs), std::string(ours)) << #__VA_ARGS__;       \
    } while (0)

TEST(FormatText, ConversionsFlagsWidthsAndPrecisionsAsC) {
    EXPECT_FORMATS_AS_C(64, "probleme dans le fichier ini : %s", "cfg.ini");
    EXPECT_FORMATS_AS_C(64, "I%c%02d.%s", 'A', 7, "Nom");
    EXPECT_FORMATS_AS_C(64, "%s%s %%1", "C:\\Program Files\\", "quadterm.exe");
    EXPECT_FORMATS_AS_C(64, "[%d|%i|%5d|%-5d|%05d|%.3d|%8.3d|%-8d]", 0, -42, 42, -42, -42, 7, -7,
                        9);
    EXPECT_FORMATS_AS_C(64, "[%d|%ld|%ld]", INT_MIN, LONG_MIN, LONG_MAX);
    EXPECT_FORMATS_AS_C(64, "[%u|%x|%X|%08X|%lx]", 4000000000u, 0xbeefu, 0xbeefu, 0x1f2eu,
                        0xffffffffUL);
    EXPECT_FORMATS_AS_C(64, "[%.0d|%.0u|%3.0d]", 0, 0u, 0);
    EXPECT_FORMATS_AS_C(64, "[%6s|%-6s|%.2s|%6.2s|%s]", "ab", "ab", "abcdef", "abcdef", "");
    EXPECT_FORMATS_AS_C(64, "[%*d|%-*d|%*d|%.*s|%.*s]", 4, 1, 4, 2, -4, 3, 2, "abc", -1, "abc");
    EXPECT_FORMATS_AS_C(64, "[%3c|%-3c|%c]", 'x', 'y', '\xe9');
}

TEST(FormatText, ACutKeepsTheNulAndReturnsTheWholeLength) {
    EXPECT_FORMATS_AS_C(8, "Location%d", 12345);
    EXPECT_FORMATS_AS_C(1, "%s", "anything");
    EXPECT_FORMATS_AS_C(6, "%-10s|", "ab");
    EXPECT_FORMATS_AS_C(4, "%05d", -3);

    // No room at all: nothing is written, the length is still told.
    char untouched[4] = "abc";
    EXPECT_EQ(5, kit::FormatText(untouched, 0, "%s", "hello"));
    EXPECT_STREQ("abc", untouched);
}

}  // namespace
