// The entry of every program of the kit. The Windows entry point calls it with the text of the
// command line after the program name; its result is the exit code.
#pragma once

#include <string>
#include <vector>

int AppMain(const char* commandLine);

namespace plat {

// The program's arguments as its C runtime split its command line (argc/argv), the program
// itself first. Defined by the entry point, for the programs linked with it.
std::vector<std::string> ProgramArguments();

}  // namespace plat
