// kitcheck's run over its command line, apart from the process: kept here so that the tests
// run it in their own process, on their own machine.
#pragma once

#include <string>
#include <vector>

#include "tools/kitcheck/findings.h"

namespace kitcheck {

constexpr int kExitClean = 0;   // no error (warnings allowed)
constexpr int kExitErrors = 1;  // at least one error
constexpr int kExitUsage = 2;   // a command line kitcheck does not understand

constexpr const char* kUsage =
    "usage: kitcheck FOLDER|FILE...\n"
    "Checks a Telvora kit: every connection wizard step file (cfg.ini, cfg*.ini) and every\n"
    "Pakonel.ini in the folders named and the folders below them, and the files named.\n";

// Runs the checks of `arguments` into `report`. False, with `problem` set, for a command line
// it does not understand; `checked` counts the files checked.
bool CheckArguments(const std::vector<std::string>& arguments, Report* report, int* checked,
                    std::string* problem);

// The path by which the platform's functions reach `argument`, a path of this machine.
// Defined per platform.
std::string PlatformPath(const std::string& argument);

}  // namespace kitcheck
