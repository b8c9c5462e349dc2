// Loading a .reg file (REGEDIT4) into the registry the contract suite runs against: the simulated
// machine's import on the host build, `regedit /S` on the real platform. One file seeds both.
#pragma once

#include <string>

namespace contract {

// `windowsPath` names the .reg file. False when the import failed.
bool ImportRegFile(const std::string& windowsPath);

}  // namespace contract
