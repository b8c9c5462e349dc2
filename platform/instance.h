// One running copy of a program per machine: a named claim that a second copy cannot get while
// the first holds it (a named mutex on Windows).
#pragma once

#include <cstdint>

namespace plat {

// A held claim; 0 is none.
using InstanceClaim = std::intptr_t;

// CreateMutexA with `name`: false when another holder, in this process or another one of the
// machine, has the claim. True otherwise, with the claim in `*claim` to give back with
// ReleaseInstance; should the system refuse the claim for another reason, true with a 0 claim:
// the program runs unguarded rather than not at all. Programs the holder starts do not inherit
// the claim.
bool ClaimInstance(const char* name, InstanceClaim* claim);
// Gives the claim back (CloseHandle); 0 is accepted and ignored.
void ReleaseInstance(InstanceClaim claim);

}  // namespace plat
