// The simulated machine's registry file (Machine::RegistryFile(), REGEDIT4 text). Every change is
// a read-modify-write under a lock between processes, and the file is replaced in one step, so
// concurrent programs lose no update and a crash leaves the old file or the new one. Reads reuse
// the last parse while the file stays the same (same inode, size and modification time).
#pragma once

#include <functional>
#include <string>

#include "platform/sim/registry_tree.h"
#include "platform/types.h"

namespace sim {

// Win32's "registry database is corrupt" and "registry I/O failed": what the registry functions
// answer when the machine's registry file cannot be read or written.
constexpr plat::Long kErrorRegistryCorrupt = 1009;
constexpr plat::Long kErrorRegistryIoFailed = 1016;

// Calls `read` with the registry held in `registryFile` (a missing file is an empty registry).
// A malformed file gives kErrorRegistryCorrupt, with "<file>:<line>: <what>" in `error`.
plat::Long ReadRegistry(const std::string& registryFile,
                        const std::function<void(const RegTree&)>& read,
                        std::string* error = nullptr);

// Runs `change` on the current registry under the file lock. The change answers a Win32 code and
// tells whether it changed anything; the file is replaced only for a successful change that
// changed something. Nothing is written when the file is malformed or the change fails.
plat::Long ChangeRegistry(const std::string& registryFile,
                          const std::function<plat::Long(RegTree&, bool* changed)>& change,
                          std::string* error = nullptr);

// Prints a registry problem on stderr once per process, however often the programs run into it.
void ReportRegistryProblemOnce(const std::string& message);

// Merges a .reg file (REGEDIT4) into the current machine's registry, as `regedit /S` does for a
// Wine prefix. False, with the message naming the file and the line, when the file cannot be
// read or is malformed; then nothing is changed.
bool ImportRegFile(const std::string& hostPath, std::string* error = nullptr);

}  // namespace sim
