#include "platform/sim/pending_deletion.h"

#include <cstdint>
#include <utility>

#include "platform/registry.h"

namespace sim {
namespace {

std::string ReadPairs() {
    plat::RegKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, kSessionManagerKey, plat::kKeyRead, &key) != 0) {
        return std::string();
    }
    std::string data(4096, '\0');
    plat::Dword size = static_cast<plat::Dword>(data.size());
    plat::Dword type = 0;
    plat::Long result = plat::RegQueryValue(key, kPendingValue, &type,
                                            reinterpret_cast<std::uint8_t*>(&data[0]), &size);
    if (result == plat::kErrorMoreData) {
        data.assign(size, '\0');
        result = plat::RegQueryValue(key, kPendingValue, &type,
                                     reinterpret_cast<std::uint8_t*>(&data[0]), &size);
    }
    plat::RegCloseKey(key);
    if (result != 0 || type != plat::kRegMultiSz) return std::string();
    data.resize(size);
    return data;
}

// The (old name, new name) pairs of the list; it ends at an empty old name or at its end.
std::vector<std::pair<std::string, std::string>> Pairs() {
    const std::string data = ReadPairs();
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        names.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < names.size() && !names[i].empty(); i += 2) {
        pairs.emplace_back(names[i], names[i + 1]);
    }
    return pairs;
}

}  // namespace

bool AddPendingDeletion(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> pairs = Pairs();
    // An empty new name: deleted rather than renamed.
    pairs.emplace_back("\\??\\" + path, std::string());
    std::string data;
    for (const auto& pair : pairs) {
        data += pair.first;
        data += '\0';
        data += pair.second;
        data += '\0';
    }
    data += '\0';
    plat::RegKey key = 0;
    if (plat::RegCreateKey(plat::kHkeyLocalMachine, kSessionManagerKey, &key) != 0) return false;
    const bool written = plat::RegSetValue(key, kPendingValue, plat::kRegMultiSz,
                                           reinterpret_cast<const std::uint8_t*>(data.data()),
                                           static_cast<plat::Dword>(data.size())) == 0;
    plat::RegCloseKey(key);
    return written;
}

std::vector<std::string> PendingDeletions() {
    std::vector<std::string> names;
    for (const auto& pair : Pairs()) {
        std::string name = pair.first;
        if (name.compare(0, 4, "\\??\\") == 0) name.erase(0, 4);
        if (pair.second.empty()) names.push_back(name);
    }
    return names;
}

}  // namespace sim
