#include "platform/sim/bmp_file.h"

#include <cstdint>
#include <cstdlib>

namespace sim {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr long long kMaxSide = 32767;

std::uint32_t U16(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}

std::uint32_t U32(const std::string& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

bool Fail(std::string* reason, const char* why) {
    if (reason != nullptr) *reason = why;
    return false;
}

}  // namespace

bool ParseBmp(const std::string& bytes, BmpImage* image, std::string* reason) {
    if (bytes.size() < kFileHeaderSize + 12) return Fail(reason, "file too short");
    if (bytes[0] != 'B' || bytes[1] != 'M') return Fail(reason, "no BM signature");
    std::uint32_t pixelOffset = U32(bytes, 10);
    std::uint32_t headerSize = U32(bytes, kFileHeaderSize);
    BmpImage result;
    long long width;
    long long height;
    std::uint32_t colorsUsed = 0;
    std::size_t entrySize = 4;
    std::size_t tableStart = kFileHeaderSize + headerSize;
    if (headerSize == 12) {  // BITMAPCOREHEADER: 16-bit sizes, RGB triples
        width = U16(bytes, kFileHeaderSize + 4);
        height = U16(bytes, kFileHeaderSize + 6);
        result.planes = static_cast<int>(U16(bytes, kFileHeaderSize + 8));
        result.bitsPerPixel = static_cast<int>(U16(bytes, kFileHeaderSize + 10));
        entrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (bytes.size() < kFileHeaderSize + 40) return Fail(reason, "header cut short");
        width = static_cast<std::int32_t>(U32(bytes, kFileHeaderSize + 4));
        height = static_cast<std::int32_t>(U32(bytes, kFileHeaderSize + 8));
        result.planes = static_cast<int>(U16(bytes, kFileHeaderSize + 12));
        result.bitsPerPixel = static_cast<int>(U16(bytes, kFileHeaderSize + 14));
        result.compression = U32(bytes, kFileHeaderSize + 16);
        colorsUsed = U32(bytes, kFileHeaderSize + 32);
        // The three masks of a 40-byte header with BI_BITFIELDS follow it.
        if (headerSize == 40 && result.compression == kBiBitfields) tableStart += 12;
    } else {
        return Fail(reason, "unknown header size");
    }
    if (tableStart > bytes.size()) return Fail(reason, "header cut short");
    if (height < 0) {
        result.topDown = true;
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return Fail(reason, "bad size");
    }
    if (result.planes != 1) return Fail(reason, "planes other than 1");
    int bpp = result.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return Fail(reason, "unknown depth");
    }
    std::uint32_t c = result.compression;
    bool compressionFits = c == kBiRgb || (c == kBiRle8 && bpp == 8) ||
                           (c == kBiRle4 && bpp == 4) ||
                           (c == kBiBitfields && (bpp == 16 || bpp == 32));
    if (!compressionFits) return Fail(reason, "unknown compression");
    std::size_t entries = 0;
    if (bpp <= 8) {
        std::size_t full = std::size_t{1} << bpp;
        entries = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    }
    std::size_t tableEnd = tableStart + entries * entrySize;
    if (tableEnd > bytes.size()) return Fail(reason, "colour table cut short");
    for (std::size_t i = 0; i < entries; ++i) {
        std::size_t at = tableStart + i * entrySize;
        plat::RgbQuad q;
        q.blue = static_cast<std::uint8_t>(bytes[at]);
        q.green = static_cast<std::uint8_t>(bytes[at + 1]);
        q.red = static_cast<std::uint8_t>(bytes[at + 2]);
        result.colorTable.push_back(q);
    }
    if (pixelOffset < tableEnd && pixelOffset != 0)
        return Fail(reason, "pixels overlap the header");
    std::size_t pixelsAt = pixelOffset != 0 ? pixelOffset : tableEnd;
    if (c == kBiRgb || c == kBiBitfields) {
        long long stride = ((width * bpp + 31) / 32) * 4;
        long long needed = stride * height;
        if (static_cast<long long>(pixelsAt) + needed > static_cast<long long>(bytes.size())) {
            return Fail(reason, "pixel array cut short");
        }
    } else if (pixelsAt >= bytes.size()) {
        return Fail(reason, "no pixel data");
    }
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    result.pixelOffset = pixelsAt;
    *image = std::move(result);
    return true;
}

bool DecodeBmpPixels(const std::string& bytes, const BmpImage& image,
                     std::vector<std::uint32_t>* pixels) {
    if (image.compression != kBiRgb) return false;
    int bpp = image.bitsPerPixel;
    std::size_t stride = ((static_cast<std::size_t>(image.width) * bpp + 31) / 32) * 4;
    if (image.pixelOffset + stride * image.height > bytes.size()) return false;
    pixels->assign(static_cast<std::size_t>(image.width) * image.height, 0);
    for (int y = 0; y < image.height; ++y) {
        int fileRow = image.topDown ? y : image.height - 1 - y;
        std::size_t at = image.pixelOffset + stride * fileRow;
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t color = 0;
            if (bpp <= 8) {
                std::size_t bit = static_cast<std::size_t>(x) * bpp;
                auto byte = static_cast<unsigned char>(bytes[at + bit / 8]);
                std::size_t index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index < image.colorTable.size()) {
                    const plat::RgbQuad& q = image.colorTable[index];
                    color = (std::uint32_t{q.red} << 16) | (std::uint32_t{q.green} << 8) | q.blue;
                }
            } else if (bpp == 16) {
                std::uint32_t v = U16(bytes, at + static_cast<std::size_t>(x) * 2);
                color = (((v >> 10) & 31) * 255 / 31) << 16 | (((v >> 5) & 31) * 255 / 31) << 8 |
                        ((v & 31) * 255 / 31);
            } else {
                std::size_t p = at + static_cast<std::size_t>(x) * (bpp / 8);
                color = (std::uint32_t{static_cast<unsigned char>(bytes[p + 2])} << 16) |
                        (std::uint32_t{static_cast<unsigned char>(bytes[p + 1])} << 8) |
                        static_cast<unsigned char>(bytes[p]);
            }
            (*pixels)[static_cast<std::size_t>(y) * image.width + x] = color;
        }
    }
    return true;
}

}  // namespace sim
