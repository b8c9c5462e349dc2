// The .bmp header reader of the simulated machine on arbitrary bytes: it must refuse or accept
// without reading outside the file, and an accepted image must be consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sim/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::BmpImage image;
    std::string reason;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (sim::ParseBmp(bytes, &image, &reason)) {
        if (image.width <= 0 || image.height <= 0 || image.colorTable.size() > 256) std::abort();
    }
    return 0;
}
