// Faults of the simulated machine on demand (platform/sim/fault_switch.h), for the error paths
// of programs: while a ScopedFault lives, SIMWIN_FAULT holds its plan, such as "registry:2"
// (the second registry change from now on fails) or "registry:1:permanent" (every one fails).
// Operations are counted only while the variable is set, so a test's own set-up does not count.
#pragma once

#include <stdlib.h>

#include <string>

namespace testsupport {

class ScopedFault {
  public:
    explicit ScopedFault(const std::string& plan) { setenv("SIMWIN_FAULT", plan.c_str(), 1); }
    ~ScopedFault() { unsetenv("SIMWIN_FAULT"); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace testsupport
