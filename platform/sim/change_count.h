// A count of the changes made to files through the simulated machine, shared by all the
// processes of the machine: a word of shared memory in the machine's folder. Caches of file
// contents compare it to skip checking their files while nothing changed through the machine;
// every write, copy or deletion of the machine adds one to it.
#pragma once

#include <cstdint>

namespace sim {

// The current count. Where the shared word is unavailable, a value that never repeats, so
// that callers check their files every time.
std::uint64_t MachineChangeCount();
// Adds one to the count: call after changing a file.
void NoteMachineChange();

}  // namespace sim
