// The .bmp reader of the simulated machine on arbitrary bytes: the header and, for an accepted
// image, its pixels as the screen pictures decode them. It must refuse or accept without
// reading outside the file, and an accepted image must be consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sim/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::BmpImage image;
    std::string reason;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (sim::ParseBmp(bytes, &image, &reason)) {
        if (image.width <= 0 || image.height <= 0 || image.colorTable.size() > 256) std::abort();
        // Small images only: the pixels of a 32767 x 32767 header would take gigabytes.
        std::vector<std::uint32_t> pixels;
        if (static_cast<long long>(image.width) * image.height <= 1 << 20 &&
            sim::DecodeBmpPixels(bytes, image, &pixels) &&
            pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
            std::abort();
        }
    }
    return 0;
}
