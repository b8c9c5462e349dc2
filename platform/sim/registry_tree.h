// The simulated machine's registry in memory: a tree of keys under the predefined roots, each key
// with its typed values. Key and value names match without regard to case and keep the case they
// were first written with. HKEY_CLASSES_ROOT is not a tree of its own: as on Wine, it is
// HKEY_LOCAL_MACHINE\Software\Classes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

struct RegValueData {
    std::string name;  // "" is the key's default value
    plat::Dword type = 0;
    std::string bytes;  // exactly the bytes stored, terminators included when stored
    bool operator==(const RegValueData& o) const {
        return name == o.name && type == o.type && bytes == o.bytes;
    }
};

struct RegKeyNode {
    std::string name;
    std::vector<RegValueData> values;  // in the order they were first set
    std::vector<RegKeyNode> subkeys;   // in the order they were created
    bool operator==(const RegKeyNode& o) const {
        return name == o.name && values == o.values && subkeys == o.subkeys;
    }

    RegKeyNode* FindSubkey(const std::string& subName);
    const RegKeyNode* FindSubkey(const std::string& subName) const;
    // The subkey, created (with this case) when missing.
    RegKeyNode& SubkeyOrNew(const std::string& subName);
    // False when there is no such subkey.
    bool RemoveSubkey(const std::string& subName);

    RegValueData* FindValue(const std::string& valueName);
    const RegValueData* FindValue(const std::string& valueName) const;
    // Replaces the data of an existing value (keeping its name's case) or adds the value.
    void SetValue(const std::string& valueName, plat::Dword type, const std::string& bytes);
    bool RemoveValue(const std::string& valueName);
};

// A key's place: the root's canonical name ("HKEY_CURRENT_USER") then the key names.
using RegPath = std::vector<std::string>;

// The names of the roots that hold keys, in the order the registry file lists them.
const std::vector<std::string>& RegRootNames();
// The canonical root name and the path prefix for a root name as written in a .reg file or
// by a program ("hkey_classes_root" gives HKEY_LOCAL_MACHINE, Software, Classes). Empty for a
// name that is no root.
RegPath RegRootPath(const std::string& rootName);
// The same for a predefined root handle value; empty for any other value.
RegPath RegRootPath(std::uintptr_t predefinedKey);
// Splits a subkey path on backslashes. Empty names (leading, doubled or trailing backslashes)
// are skipped, as Windows 98 does.
std::vector<std::string> SplitKeyPath(const std::string& subKey);
bool SamePath(const RegPath& a, const RegPath& b);
// True when `path` is `ancestor` or lies below it.
bool PathWithin(const RegPath& path, const RegPath& ancestor);

class RegTree {
  public:
    RegTree();
    bool operator==(const RegTree& o) const { return roots_ == o.roots_; }

    RegKeyNode* Find(const RegPath& path);
    const RegKeyNode* Find(const RegPath& path) const;
    // The key, created with its missing parents. Null when the root is unknown.
    RegKeyNode* FindOrCreate(const RegPath& path, bool* created = nullptr);
    // Deletes a key and everything below it. False when it does not exist or is a root.
    bool Remove(const RegPath& path);

    const std::vector<RegKeyNode>& Roots() const { return roots_; }

  private:
    std::vector<RegKeyNode> roots_;
};

}  // namespace sim
