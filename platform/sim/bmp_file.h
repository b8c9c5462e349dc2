// Reading the header and colour table of a .bmp file, as LoadImageA does before it makes a
// bitmap of it. The bytes come from a file on the machine's drive, so nothing in them is
// trusted: every size and offset is checked against the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/draw.h"

namespace sim {

struct BmpImage {
    int width = 0;
    int height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    int planes = 1;
    int bitsPerPixel = 0;
    plat::Dword compression = 0;
    std::vector<plat::RgbQuad> colorTable;
    std::size_t pixelOffset = 0;  // where the pixel array starts in the file
};

// False, with a reason, for anything LoadImageA would refuse: a missing "BM" signature, an
// unknown header size, planes other than 1, an unknown depth or compression, a colour table or
// pixel array that does not fit in the file, a width or height of 0 or beyond 32767.
bool ParseBmp(const std::string& bytes, BmpImage* image, std::string* reason);

// The pixels of a parsed, uncompressed bitmap as 0x00RRGGBB, rows top down; false for RLE
// compression and bit fields, which the kit's pictures do not use.
bool DecodeBmpPixels(const std::string& bytes, const BmpImage& image,
                     std::vector<std::uint32_t>* pixels);

}  // namespace sim
