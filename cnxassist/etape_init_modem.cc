#include "cnxassist/etape_init_modem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "cnxassist/etapes_environnement.h"
#include "cnxassist/etapes_inscription.h"
#include "cnxassist/location_entry.h"
#include "common/cle_registre.h"
#include "common/format_text.h"
#include "common/profile_access.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace {

// A bare name: the profile functions find it in the Windows directory, where the dialler keeps
// it.
constexpr const char* kTelephonIni = "telephon.ini";
constexpr const char* kLocationsSection = "Locations";
// The default of every telephon.ini read, so a value that is literally this counts as missing.
constexpr const char* kMissing = "rien";
constexpr std::size_t kEntryCapacity = kLocationEntryCapacity;
// France's dialling rules, written whatever the file held, so that country 33 of the location
// dials the provider's national number as it should be dialled.
constexpr const char* kDefaultCountry33 = "33,34,\"France\",\"0FG\",\"0FG\",\"00EFG\"";

constexpr const char* kRegistryLocationsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations";
// Far more locations than anyone defines; a registry that claims more is not read on for ever.
constexpr int kMaxRegistryLocations = 4096;
// The provider's numbers are in zone 08: from a location of that area code the dialler takes
// them for local calls, dialled behind the outside-line prefix; from anywhere else for
// long-distance calls, dialled behind the long-distance prefix.
constexpr const char* kProviderAreaCode = "08";

std::string LocationKey(int n) {
    char key[32];
    kit::FormatText(key, sizeof key, "Location%d", n);
    return key;
}

// A telephon.ini value read through a buffer of `capacity` bytes; false when it is missing.
bool ReadTelephon(const char* section, const std::string& key, std::size_t capacity,
                  std::string* value) {
    *value = kit::ReadProfileString(kTelephonIni, section, key.c_str(), kMissing, capacity);
    return *value != kMissing;
}

void WriteTelephon(const char* section, const std::string& key, const std::string& value) {
    plat::WritePrivateProfileString(section, key.c_str(), value.c_str(), kTelephonIni);
}

// A "Locations" value of two numbers split by the first comma; false when it is missing or has
// no comma.
bool ReadNumberPair(const char* key, int* first, int* second) {
    std::string text;
    if (!ReadTelephon(kLocationsSection, key, kEntryCapacity, &text)) return false;
    std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    *first = std::atoi(text.c_str());
    *second = std::atoi(text.c_str() + comma + 1);
    return true;
}

void WriteNumberPair(const char* key, int first, int second) {
    char text[32];
    kit::FormatText(text, sizeof text, "%d,%d", first, second);
    WriteTelephon(kLocationsSection, key, text);
}

// The next number as the platform's 32-bit arithmetic gives it, wrapping instead of
// overflowing when a damaged file holds the largest one.
int Following(int n) { return static_cast<int>(static_cast<unsigned>(n) + 1u); }

// Tells the telephony system that telephon.ini was changed by someone else than itself.
void WriteChangeStamp() {
    char stamp[32] = "";
    std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", local);
    }
    plat::WriteProfileString("Windows Telephony", "TelephonINIChanged", stamp);
}

}  // namespace

CEtapeInitModem::CEtapeInitModem(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                                 const char* name)
    : CEtape(window, previous, pageRect, name),
      m_locationId(-1),
      m_locationIndex(-1),
      m_outsideAccess(g_dialPrefix.c_str()),
      m_longDistanceAccess(g_dialPrefix.c_str()) {}

void CEtapeInitModem::OnEnter() { PostNextClick(); }

void CEtapeInitModem::OnLeave() {
    // Only the two systems the root step accepts have a way of configuring: any other counts
    // as a failure rather than a silent pass.
    bool configured = false;
    if (g_osKind == 1) {
        configured = ConfigureLocationsRegistry();
    } else if (g_osKind == 0) {
        configured = ConfigureLocationsIni();
    }
    if (!configured) throw CEtapeException(0, "Problèmes lors de la configuration du modem");
    if (m_locationId != -1 && m_locationIndex != -1) {
        WriteNumberPair("CurrentLocation", m_locationId, m_locationIndex);
        WriteChangeStamp();
    }
}

bool CEtapeInitModem::ConfigureLocationsIni() {
    std::string country = ReadStepString(*this, "Country33", 64);
    if (country.empty()) country = kDefaultCountry33;
    WriteTelephon("CountryOverrides", "Country33", country);
    WriteTelephon(kLocationsSection, "Inited", "1");

    int count = 0;
    int nextId = 0;
    if (!ReadNumberPair("Locations", &count, &nextId)) return false;
    int currentId = 0;
    int currentIndex = 0;
    if (!ReadNumberPair("CurrentLocation", &currentId, &currentIndex)) return false;

    // A location made by an earlier run is rebuilt in place; without one, a new entry goes
    // after the others.
    int targetIndex = count;
    int targetId = nextId;
    bool found = false;
    const std::size_t nameLength = std::strlen(kModemLocationName);
    for (int n = 0; n < count && !found; ++n) {
        std::string entry;
        if (!ReadTelephon(kLocationsSection, LocationKey(n), kEntryCapacity, &entry)) return false;
        std::size_t quote = entry.find('"');
        if (quote == std::string::npos) return false;
        if (entry.compare(quote + 1, nameLength, kModemLocationName) != 0) continue;
        if (entry.find(',') == std::string::npos) return false;
        targetIndex = n;
        targetId = std::atoi(entry.c_str());
        found = true;
    }

    // Read through a byte more than an entry may hold, so that one too long to be read whole
    // is seen, not taken cut as the model of the new entry.
    std::string model;
    if (!ReadTelephon(kLocationsSection, LocationKey(currentIndex), kEntryCapacity + 1, &model)) {
        return false;
    }
    if (model.size() >= kEntryCapacity) return false;
    std::string entry;
    if (!ComposeLocationEntry(model, targetId, m_outsideAccess.c_str(),
                              m_longDistanceAccess.c_str(), &entry)) {
        return false;
    }
    WriteTelephon(kLocationsSection, LocationKey(targetIndex), entry);
    if (!found) WriteNumberPair("Locations", Following(count), Following(nextId));
    m_locationId = targetId;
    m_locationIndex = targetIndex;
    WriteChangeStamp();
    return true;
}

bool CEtapeInitModem::ConfigureLocationsRegistry() {
    plat::Dword currentId = 0;
    {
        CCleRegistre locations(plat::kHkeyLocalMachine, kRegistryLocationsKey, false);
        if (!locations.QueryDword("CurrentID", &currentId)) return false;
    }
    const std::string base = std::string(kRegistryLocationsKey) + "\\";
    int current = -1;
    for (int n = 0; n < kMaxRegistryLocations && current < 0; ++n) {
        CCleRegistre location(plat::kHkeyLocalMachine, (base + LocationKey(n)).c_str(), false);
        plat::Dword id = 0;
        if (!location.QueryDword("ID", &id)) return false;
        if (id == currentId) current = n;
    }
    if (current < 0) return false;

    CCleRegistre location(plat::kHkeyLocalMachine, (base + LocationKey(current)).c_str(), false);
    char areaCode[128];
    if (!location.QueryString("AreaCode", areaCode, sizeof areaCode)) return false;
    // A value the system refuses to store would leave the dialler without the prefix the
    // subscriber typed: the modem's configuration failed.
    if (std::strcmp(areaCode, kProviderAreaCode) == 0) {
        return location.SetString("OutsideAccess", m_outsideAccess.c_str());
    }
    return location.SetString("LongDistanceAccess", m_longDistanceAccess.c_str());
}
