#include "cnxassist/location_entry.h"

#include "cnxassist/etape_init_modem.h"  // the location name

namespace {

// Written whatever the model held, so that the location dials the provider's national numbers
// with France's rules.
constexpr int kFranceCountryCode = 33;

}  // namespace

bool ComposeLocationEntry(const std::string& model, int id, const char* outsideAccess,
                          const char* longDistanceAccess, std::string* entry) {
    // The opening and closing quotes of the four strings, the first opening one being the
    // entry's first quote.
    std::size_t quotes[8];
    std::size_t from = 0;
    for (std::size_t& quote : quotes) {
        quote = model.find('"', from);
        if (quote == std::string::npos) return false;
        from = quote + 1;
    }
    const std::string areaCode = model.substr(quotes[6] + 1, quotes[7] - quotes[6] - 1);
    std::size_t areaCodeEnd = model.find(',', quotes[7]);
    if (areaCodeEnd == std::string::npos) return false;
    std::size_t countryEnd = model.find(',', areaCodeEnd + 1);
    if (countryEnd == std::string::npos) return false;
    *entry = std::to_string(id) + ",\"" + kModemLocationName + "\",\"" + outsideAccess + "\",\"" +
             longDistanceAccess + "\",\"" + areaCode + "\"," + std::to_string(kFranceCountryCode) +
             "," + model.substr(countryEnd + 1);
    return entry->size() < kLocationEntryCapacity;
}
