// The registry functions of the simulated machine, with the answers Windows 98 gives (as Wine set
// to win98 gives them): a REG_SZ is stored up to its terminator whatever count it comes with, a
// key is deleted with its subkeys, and a handle to a deleted key answers kErrorKeyDeleted. A
// machine set to a Windows NT version (platform id 2) gets the NT answers instead: the count is
// kept (one is added when the caller left out a terminator that follows the data), and a key
// that still has subkeys is not deleted.
#include <cstring>
#include <map>
#include <mutex>

#include "platform/registry.h"
#include "platform/sim/fault_switch.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_calls.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/registry_tree.h"

namespace plat {
namespace {

// Win32's answer to a null data pointer with a non-zero count.
constexpr Long kErrorNoAccess = 998;
// Win32's answer to a path that begins with a backslash, when opening or deleting.
constexpr Long kErrorBadPathname = 161;
// Keeps the call record of a long run bounded.
constexpr size_t kMaxRecordedCalls = 10000;

struct OpenKey {
    sim::RegPath path;
    bool deleted = false;
};

struct HandleTable {
    std::mutex mutex;
    std::map<RegKey, OpenKey> keys;
    RegKey next = 0x1000;
    std::vector<sim::RegistryCall> calls;
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

void Record(const char* function, RegKey key, const char* name, Dword type = 0, Dword size = 0) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.calls.size() >= kMaxRecordedCalls) {
        table.calls.erase(table.calls.begin(), table.calls.begin() + kMaxRecordedCalls / 2);
    }
    table.calls.push_back({function, key, name != nullptr ? name : "", type, size});
}

bool IsNtMachine() { return sim::Machine::Current().Settings().platformId == 2; }

std::string RegistryFile() { return sim::Machine::Current().RegistryFile(); }

// Where a handle points. Predefined roots always exist (HKEY_CLASSES_ROOT's key is made on
// first write); other handles may point at a key deleted since.
struct Target {
    sim::RegPath path;
    bool root = false;
};

Long Resolve(RegKey key, Target* target) {
    target->path = sim::RegRootPath(key);
    target->root = !target->path.empty();
    if (target->root) return kErrorSuccess;
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.keys.find(key);
    if (it == table.keys.end()) return kErrorInvalidHandle;
    if (it->second.deleted) return kErrorKeyDeleted;
    target->path = it->second.path;
    return kErrorSuccess;
}

RegKey NewHandle(const sim::RegPath& path) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    RegKey key = table.next;
    table.next += 4;
    table.keys[key] = OpenKey{path, false};
    return key;
}

void MarkDeleted(const sim::RegPath& deleted) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (auto& entry : table.keys) {
        if (sim::PathWithin(entry.second.path, deleted)) entry.second.deleted = true;
    }
}

// The key node a handle points at, for reading. Null for a root whose key does not exist yet
// (it reads as an empty key). kErrorKeyDeleted when another process deleted the key.
Long NodeForReading(const sim::RegTree& tree, const Target& target, const sim::RegKeyNode** node) {
    *node = tree.Find(target.path);
    return *node == nullptr && !target.root ? kErrorKeyDeleted : kErrorSuccess;
}

Long NodeForWriting(sim::RegTree& tree, const Target& target, bool* changed,
                    sim::RegKeyNode** node) {
    bool created = false;
    *node = target.root ? tree.FindOrCreate(target.path, &created) : tree.Find(target.path);
    *changed |= created;
    return *node == nullptr ? kErrorKeyDeleted : kErrorSuccess;
}

std::string ValueName(const char* name) { return name != nullptr ? name : ""; }

// A registry write made to fail answers what the platform answers when the registry cannot be
// saved; nothing is changed.
bool RegistryFault(const sim::RegPath& path, const char* name) {
    std::string what;
    for (const std::string& part : path) what += (what.empty() ? "" : "\\") + part;
    if (name != nullptr && *name != '\0') what += (what.empty() ? "" : "\\") + std::string(name);
    return sim::FaultHere(sim::FaultKind::kRegistry, what);
}

// Opening and deleting refuse a path that begins with a backslash; creating skips it.
bool BeginsWithBackslash(const char* subKey) { return subKey != nullptr && subKey[0] == '\\'; }

bool IsStringType(Dword type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace

Long RegOpenKey(RegKey root, const char* subKey, Dword access, RegKey* out) {
    Record("RegOpenKey", root, subKey);
    if (out == nullptr) return kErrorInvalidParameter;
    *out = 0;
    Target base;
    Long result = Resolve(root, &base);
    if (result != kErrorSuccess) return result;
    if (BeginsWithBackslash(subKey)) return kErrorBadPathname;
    std::vector<std::string> names = sim::SplitKeyPath(ValueName(subKey));
    if (names.empty() && base.root) {
        *out = root;
        return kErrorSuccess;
    }
    sim::RegPath found;
    Long outcome = kErrorSuccess;
    result = sim::ReadRegistry(RegistryFile(), [&](const sim::RegTree& tree) {
        const sim::RegKeyNode* node = nullptr;
        outcome = NodeForReading(tree, base, &node);
        if (outcome != kErrorSuccess) return;
        found = base.path;
        for (const std::string& name : names) {
            node = node != nullptr ? node->FindSubkey(name) : nullptr;
            if (node == nullptr) {
                outcome = kErrorFileNotFound;
                return;
            }
            found.push_back(node->name);
        }
    });
    if (result != kErrorSuccess) return result;
    if (outcome != kErrorSuccess) return outcome;
    *out = NewHandle(found);
    return kErrorSuccess;
}

Long RegCreateKey(RegKey root, const char* subKey, RegKey* out) {
    Record("RegCreateKey", root, subKey);
    if (out == nullptr) return kErrorInvalidParameter;
    *out = 0;
    Target base;
    Long result = Resolve(root, &base);
    if (result != kErrorSuccess) return result;
    std::vector<std::string> names = sim::SplitKeyPath(ValueName(subKey));
    if (names.empty() && base.root) {
        *out = root;
        return kErrorSuccess;
    }
    for (const std::string& name : names) {
        // A line break could not be written to the registry file.
        if (name.find_first_of("\r\n") != std::string::npos) return kErrorInvalidParameter;
    }
    if (RegistryFault(base.path, subKey)) return sim::kErrorRegistryIoFailed;
    sim::RegPath path = base.path;
    result = sim::ChangeRegistry(RegistryFile(), [&](sim::RegTree& tree, bool* changed) {
        sim::RegKeyNode* node = nullptr;
        Long found = NodeForWriting(tree, base, changed, &node);
        if (found != kErrorSuccess) return found;
        for (const std::string& name : names) {
            sim::RegKeyNode* next = node->FindSubkey(name);
            if (next == nullptr) {
                next = &node->SubkeyOrNew(name);
                *changed = true;
            }
            node = next;
            path.push_back(node->name);
        }
        return kErrorSuccess;
    });
    if (result != kErrorSuccess) return result;
    *out = NewHandle(path);
    return kErrorSuccess;
}

Long RegCloseKey(RegKey key) {
    Record("RegCloseKey", key, nullptr);
    if (!sim::RegRootPath(key).empty()) return kErrorSuccess;
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    return table.keys.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

Long RegQueryValue(RegKey key, const char* name, Dword* type, std::uint8_t* data, Dword* size) {
    Record("RegQueryValue", key, name, 0, size != nullptr ? *size : 0);
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    Target target;
    Long result = Resolve(key, &target);
    if (result != kErrorSuccess) return result;
    sim::RegValueData value;
    Long outcome = kErrorSuccess;
    result = sim::ReadRegistry(RegistryFile(), [&](const sim::RegTree& tree) {
        const sim::RegKeyNode* node = nullptr;
        outcome = NodeForReading(tree, target, &node);
        if (outcome != kErrorSuccess) return;
        const sim::RegValueData* found =
            node != nullptr ? node->FindValue(ValueName(name)) : nullptr;
        if (found == nullptr) {
            outcome = kErrorFileNotFound;
            return;
        }
        value = *found;
    });
    if (result != kErrorSuccess) return result;
    if (outcome != kErrorSuccess) return outcome;
    if (type != nullptr) *type = value.type;
    Dword count = static_cast<Dword>(value.bytes.size());
    if (data == nullptr) {
        if (size != nullptr) *size = count;
        return kErrorSuccess;
    }
    Dword capacity = *size;
    *size = count;
    if (capacity < count) return kErrorMoreData;
    if (count > 0) std::memcpy(data, value.bytes.data(), count);
    // The count stays the stored one, but a text stored without its terminator gets one in the
    // buffer when there is room, as Windows does.
    if (IsStringType(value.type) && count > 0 && count < capacity && data[count - 1] != 0) {
        data[count] = 0;
    }
    return kErrorSuccess;
}

Long RegSetValue(RegKey key, const char* name, Dword type, const std::uint8_t* data, Dword size) {
    Record("RegSetValue", key, name, type, size);
    if (data == nullptr && size > 0) return kErrorNoAccess;
    Target target;
    Long result = Resolve(key, &target);
    if (result != kErrorSuccess) return result;
    Dword count = size;
    if (type == kRegSz && data != nullptr) {
        if (!IsNtMachine()) {
            count = static_cast<Dword>(std::strlen(reinterpret_cast<const char*>(data))) + 1;
        } else if (count > 0 && data[count - 1] != 0 && data[count] == 0) {
            ++count;
        }
    }
    std::string bytes(reinterpret_cast<const char*>(data), data != nullptr ? count : 0);
    if (RegistryFault(target.path, name)) return sim::kErrorRegistryIoFailed;
    return sim::ChangeRegistry(RegistryFile(), [&](sim::RegTree& tree, bool* changed) {
        sim::RegKeyNode* node = nullptr;
        Long found = NodeForWriting(tree, target, changed, &node);
        if (found != kErrorSuccess) return found;
        const sim::RegValueData* old = node->FindValue(ValueName(name));
        if (old == nullptr || old->type != type || old->bytes != bytes) {
            node->SetValue(ValueName(name), type, bytes);
            *changed = true;
        }
        return kErrorSuccess;
    });
}

Long RegDeleteValue(RegKey key, const char* name) {
    Record("RegDeleteValue", key, name);
    Target target;
    Long result = Resolve(key, &target);
    if (result != kErrorSuccess) return result;
    if (RegistryFault(target.path, name)) return sim::kErrorRegistryIoFailed;
    return sim::ChangeRegistry(RegistryFile(), [&](sim::RegTree& tree, bool* changed) {
        sim::RegKeyNode* node = tree.Find(target.path);
        if (node == nullptr) return target.root ? kErrorFileNotFound : kErrorKeyDeleted;
        *changed = node->RemoveValue(ValueName(name));
        return *changed ? kErrorSuccess : kErrorFileNotFound;
    });
}

Long RegDeleteKey(RegKey key, const char* subKey) {
    Record("RegDeleteKey", key, subKey);
    if (subKey == nullptr) return kErrorInvalidParameter;
    Target base;
    Long result = Resolve(key, &base);
    if (result != kErrorSuccess) return result;
    if (BeginsWithBackslash(subKey)) return kErrorBadPathname;
    std::vector<std::string> names = sim::SplitKeyPath(subKey);
    // The predefined roots cannot be deleted.
    if (names.empty() && base.root) return kErrorAccessDenied;
    sim::RegPath doomed = base.path;
    doomed.insert(doomed.end(), names.begin(), names.end());
    if (RegistryFault(doomed, nullptr)) return sim::kErrorRegistryIoFailed;
    result = sim::ChangeRegistry(RegistryFile(), [&](sim::RegTree& tree, bool* changed) {
        if (!base.root && tree.Find(base.path) == nullptr) return kErrorKeyDeleted;
        const sim::RegKeyNode* node = tree.Find(doomed);
        if (node == nullptr) return kErrorFileNotFound;
        if (IsNtMachine() && !node->subkeys.empty()) return kErrorAccessDenied;
        *changed = tree.Remove(doomed);
        return kErrorSuccess;
    });
    if (result == kErrorSuccess) MarkDeleted(doomed);
    return result;
}

}  // namespace plat

namespace sim {

const std::vector<RegistryCall>& RegistryCalls() { return plat::Handles().calls; }

void ClearRegistryCalls() {
    plat::HandleTable& table = plat::Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.calls.clear();
}

}  // namespace sim
