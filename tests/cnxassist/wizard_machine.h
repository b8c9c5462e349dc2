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
#include "tests/support/registry_values.h"
#include "tests/support/test_temp_folder.h"

namespace cnxtest {

inline void FreshWizardMachine() {
    sim::Machine::Use(testsupport::TestTempFolder("cnx-test"));
    plat::CreateDirectory("C:\\KIT");
    plat::SetCurrentDirectory("C:\\KIT");
    cnx::ForgetWorkingDirectory();
}

inline void WriteKitFile(const std::string& name, const std::string& text) {
    plat::WriteWholeFile(("C:\\KIT\\" + name).c_str(), text);
}

using testsupport::KeyExists;
using testsupport::ReadValue;
using testsupport::RegValue;

}  // namespace cnxtest
