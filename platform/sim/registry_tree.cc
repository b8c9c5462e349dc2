#include "platform/sim/registry_tree.h"

#include <algorithm>

#include "platform/registry.h"
#include "platform/sim/machine.h"

namespace sim {

RegKeyNode* RegKeyNode::FindSubkey(const std::string& subName) {
    for (RegKeyNode& key : subkeys) {
        if (EqualsNoCase(key.name, subName)) return &key;
    }
    return nullptr;
}

const RegKeyNode* RegKeyNode::FindSubkey(const std::string& subName) const {
    return const_cast<RegKeyNode*>(this)->FindSubkey(subName);
}

RegKeyNode& RegKeyNode::SubkeyOrNew(const std::string& subName) {
    if (RegKeyNode* found = FindSubkey(subName)) return *found;
    subkeys.emplace_back();
    subkeys.back().name = subName;
    return subkeys.back();
}

bool RegKeyNode::RemoveSubkey(const std::string& subName) {
    auto it = std::find_if(subkeys.begin(), subkeys.end(),
                           [&](const RegKeyNode& key) { return EqualsNoCase(key.name, subName); });
    if (it == subkeys.end()) return false;
    subkeys.erase(it);
    return true;
}

RegValueData* RegKeyNode::FindValue(const std::string& valueName) {
    for (RegValueData& value : values) {
        if (EqualsNoCase(value.name, valueName)) return &value;
    }
    return nullptr;
}

const RegValueData* RegKeyNode::FindValue(const std::string& valueName) const {
    return const_cast<RegKeyNode*>(this)->FindValue(valueName);
}

void RegKeyNode::SetValue(const std::string& valueName, plat::Dword type,
                          const std::string& bytes) {
    RegValueData* value = FindValue(valueName);
    if (value == nullptr) {
        values.emplace_back();
        value = &values.back();
        value->name = valueName;
    }
    value->type = type;
    value->bytes = bytes;
}

bool RegKeyNode::RemoveValue(const std::string& valueName) {
    auto it = std::find_if(values.begin(), values.end(), [&](const RegValueData& value) {
        return EqualsNoCase(value.name, valueName);
    });
    if (it == values.end()) return false;
    values.erase(it);
    return true;
}

const std::vector<std::string>& RegRootNames() {
    static const std::vector<std::string> names = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                   "HKEY_USERS", "HKEY_CURRENT_CONFIG",
                                                   "HKEY_DYN_DATA"};
    return names;
}

RegPath RegRootPath(const std::string& rootName) {
    if (EqualsNoCase(rootName, "HKEY_CLASSES_ROOT")) {
        return {"HKEY_LOCAL_MACHINE", "Software", "Classes"};
    }
    for (const std::string& name : RegRootNames()) {
        if (EqualsNoCase(rootName, name)) return {name};
    }
    return {};
}

RegPath RegRootPath(std::uintptr_t predefinedKey) {
    switch (predefinedKey) {
        case plat::kHkeyClassesRoot:
            return RegRootPath("HKEY_CLASSES_ROOT");
        case plat::kHkeyCurrentUser:
            return {"HKEY_CURRENT_USER"};
        case plat::kHkeyLocalMachine:
            return {"HKEY_LOCAL_MACHINE"};
        case plat::kHkeyUsers:
            return {"HKEY_USERS"};
        case plat::kHkeyCurrentConfig:
            return {"HKEY_CURRENT_CONFIG"};
        case plat::kHkeyDynData:
            return {"HKEY_DYN_DATA"};
        default:
            return {};
    }
}

std::vector<std::string> SplitKeyPath(const std::string& subKey) {
    std::vector<std::string> names;
    std::string current;
    for (char c : subKey) {
        if (c == '\\') {
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

bool SamePath(const RegPath& a, const RegPath& b) {
    return a.size() == b.size() && PathWithin(a, b);
}

bool PathWithin(const RegPath& path, const RegPath& ancestor) {
    if (path.size() < ancestor.size()) return false;
    for (size_t i = 0; i < ancestor.size(); ++i) {
        if (!EqualsNoCase(path[i], ancestor[i])) return false;
    }
    return true;
}

RegTree::RegTree() {
    for (const std::string& name : RegRootNames()) {
        roots_.emplace_back();
        roots_.back().name = name;
    }
}

RegKeyNode* RegTree::Find(const RegPath& path) {
    if (path.empty()) return nullptr;
    RegKeyNode* key = nullptr;
    for (RegKeyNode& root : roots_) {
        if (EqualsNoCase(root.name, path[0])) key = &root;
    }
    for (size_t i = 1; key != nullptr && i < path.size(); ++i) key = key->FindSubkey(path[i]);
    return key;
}

const RegKeyNode* RegTree::Find(const RegPath& path) const {
    return const_cast<RegTree*>(this)->Find(path);
}

RegKeyNode* RegTree::FindOrCreate(const RegPath& path, bool* created) {
    if (created != nullptr) *created = false;
    RegKeyNode* key = Find(RegPath(path.begin(), path.begin() + (path.empty() ? 0 : 1)));
    for (size_t i = 1; key != nullptr && i < path.size(); ++i) {
        RegKeyNode* next = key->FindSubkey(path[i]);
        if (next == nullptr) {
            next = &key->SubkeyOrNew(path[i]);
            if (created != nullptr) *created = true;
        }
        key = next;
    }
    return key;
}

bool RegTree::Remove(const RegPath& path) {
    if (path.size() < 2) return false;
    RegKeyNode* parent = Find(RegPath(path.begin(), path.end() - 1));
    return parent != nullptr && parent->RemoveSubkey(path.back());
}

}  // namespace sim
