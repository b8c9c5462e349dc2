// Reading back a shortcut the simulated machine wrote (its format: shell_link_sim.cc).
#pragma once

#include <string>

#include "platform/shell_link.h"

namespace sim {

// False when the file cannot be read or is not a simulated shortcut.
bool ReadShellLink(const std::string& linkPath, plat::ShellLinkSettings* settings);

}  // namespace sim
