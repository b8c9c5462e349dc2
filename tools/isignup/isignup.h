// The sign-up stand-in's whole run, from its arguments to its exit code.
#pragma once

#include <string>
#include <vector>

namespace isignup {

// `arguments` as the C runtime split the command line: the program, then the sign-up file.
int Run(const std::vector<std::string>& arguments);

}  // namespace isignup
