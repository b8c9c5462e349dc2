// A fresh simulated machine for one wizard test: the kit folder C:\KIT as current directory,
// with helpers to write its files and read the registry back.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cnxassist/wizard_utils.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"

namespace cnxtest {

inline void FreshWizardMachine() {
    char pattern[] = "/tmp/cnx-test-XXXXXX";
    sim::Machine::Use(mkdtemp(pattern));
    plat::CreateDirectory("C:\\KIT");
    plat::SetCurrentDirectory("C:\\KIT");
    cnx::ForgetWorkingDirectory();
}

inline void WriteKitFile(const std::string& name, const std::string& text) {
    plat::WriteWholeFile(("C:\\KIT\\" + name).c_str(), text);
}

struct RegValue {
    bool present = false;
    plat::Dword type = 0;
    std::vector<std::uint8_t> bytes;
    // A text value up to its terminator (Windows 98 stores one whatever count was given).
    std::string Text() const {
        std::string text(bytes.begin(), bytes.end());
        return text.substr(0, text.find('\0'));
    }
};

inline RegValue ReadValue(plat::RegKey root, const char* key, const char* name) {
    RegValue value;
    plat::RegKey handle = 0;
    if (plat::RegOpenKey(root, key, plat::kKeyRead, &handle) != plat::kErrorSuccess) return value;
    std::uint8_t data[1024];
    plat::Dword size = sizeof data;
    if (plat::RegQueryValue(handle, name, &value.type, data, &size) == plat::kErrorSuccess) {
        value.present = true;
        value.bytes.assign(data, data + size);
    }
    plat::RegCloseKey(handle);
    return value;
}

inline bool KeyExists(plat::RegKey root, const char* key) {
    plat::RegKey handle = 0;
    if (plat::RegOpenKey(root, key, plat::kKeyRead, &handle) != plat::kErrorSuccess) return false;
    plat::RegCloseKey(handle);
    return true;
}

}  // namespace cnxtest
