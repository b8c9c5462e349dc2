// Windows command lines on the simulated machine.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Splits a command line into arguments with the C runtime's rules: blanks separate arguments,
// double quotes group blanks, 2n backslashes before a quote give n backslashes and the quote
// toggles grouping, 2n+1 give n backslashes and a literal quote; other backslashes are literal.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The command line the platform's start functions build from `argv` (plat::BuildCommandLine):
// each argument quoted as the C runtime needs, so that SplitCommandLine gives `argv` back.
std::string JoinArguments(const std::vector<std::string>& argv);

}  // namespace sim
