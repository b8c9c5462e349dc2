// main of the kit's windowed programs on the simulated machine: hands AppMain the command line
// after the program name, as WinMain receives it on Windows. The arguments are joined with
// single blanks; one holding a blank is quoted, so that it stays one piece of the text.
#include <string>

#include "platform/app_main.h"
#include "platform/sim/ui_walk.h"

namespace {

// What the C runtime of a Windows program would have split its command line into: on the
// simulated machine the starting program has split it already, and exec hands over the pieces.
std::vector<std::string> g_arguments;

}  // namespace

namespace plat {

std::vector<std::string> ProgramArguments() { return g_arguments; }

}  // namespace plat

int main(int argc, char** argv) {
    g_arguments.assign(argv, argv + argc);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (i > 1) commandLine += ' ';
        if (argument.find_first_of(" \t") != std::string::npos) {
            commandLine += '"' + argument + '"';
        } else {
            commandLine += argument;
        }
    }
    // A kit walked on the simulated machine scripts the user of each program it starts.
    sim::walk::InstallFromEnvironment(argv[0]);
    return AppMain(commandLine.c_str());
}
