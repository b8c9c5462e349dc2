// WinMain of the kit's windowed programs: hands the command line to AppMain.
#include <stdlib.h>

#include "platform/app_main.h"
#include "platform/win32/win32_headers.h"

namespace plat {

// The C runtime has split the command line into these before WinMain, as for main.
std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    for (int i = 0; i < __argc && __argv != nullptr; ++i) {
        arguments.push_back(__argv[i] != nullptr ? __argv[i] : "");
    }
    return arguments;
}

}  // namespace plat

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return AppMain(commandLine != nullptr ? commandLine : "");
}
