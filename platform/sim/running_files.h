// Which host files the programs of the simulated machine are running from: Windows keeps a
// running program's file open, so that it cannot be deleted before the program ends.
#pragma once

#include <string>

namespace sim {

// Whether a living process of the current machine runs the program file `host` (a host path).
bool IsRunningProgramFile(const std::string& host);

}  // namespace sim
