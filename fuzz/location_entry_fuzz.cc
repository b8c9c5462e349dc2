// A telephon.ini location entry of arbitrary bytes as the model of the modem location: the
// entry built from it must fit its buffer, begin with the identifier and the location's name,
// and keep every byte of the model after its country field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cnxassist/etape_init_modem.h"
#include "cnxassist/location_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses the prefix's length, so that long prefixes meet long models.
    const std::string prefix(data[0] % 140, '9');
    const std::string model(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string entry;
    if (!ComposeLocationEntry(model, 5, prefix.c_str(), prefix.c_str(), &entry)) return 0;
    if (entry.size() >= kLocationEntryCapacity) std::abort();
    const std::string start = std::string("5,\"") + kModemLocationName + "\",\"" + prefix + "\"";
    if (entry.compare(0, start.size(), start) != 0) std::abort();
    // What follows the model's country field comes through unchanged, at the end.
    std::size_t tail = entry.size() - entry.rfind(",33,") - 4;
    if (model.compare(model.size() - tail, tail, entry, entry.size() - tail, tail) != 0) {
        std::abort();
    }
    return 0;
}
