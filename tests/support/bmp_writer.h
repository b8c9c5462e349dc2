// BMP files for tests that load pictures: a 40-byte header, `bpp` bits per pixel and a colour
// table of `colors` entries (entry i: blue i, green 2i, red 3i), all pixels 0.
#pragma once

#include <string>

namespace testsupport {

inline std::string MakeBmp(int width, int height, int bpp, int colors) {
    auto u16 = [](std::string* s, unsigned v) {
        s->push_back(static_cast<char>(v & 0xFF));
        s->push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto u32 = [&](std::string* s, unsigned v) {
        u16(s, v & 0xFFFF);
        u16(s, v >> 16);
    };
    unsigned stride = ((width * bpp + 31) / 32) * 4;
    unsigned offset = 14 + 40 + colors * 4;
    std::string b = "BM";
    u32(&b, offset + stride * height);
    u32(&b, 0);
    u32(&b, offset);
    u32(&b, 40);
    u32(&b, static_cast<unsigned>(width));
    u32(&b, static_cast<unsigned>(height));
    u16(&b, 1);
    u16(&b, static_cast<unsigned>(bpp));
    u32(&b, 0);
    u32(&b, stride * height);
    u32(&b, 2835);
    u32(&b, 2835);
    u32(&b, static_cast<unsigned>(colors));
    u32(&b, 0);
    for (int i = 0; i < colors; ++i) {
        b.push_back(static_cast<char>(i));
        b.push_back(static_cast<char>(2 * i));
        b.push_back(static_cast<char>(3 * i));
        b.push_back(0);
    }
    b.append(stride * height, '\0');
    return b;
}

}  // namespace testsupport
