// appmarker.exe: a stand-in for the applications that the connection wizard's LanceAppli steps
// start. It appends the arguments it was given, as its C runtime split them (argc/argv), one
// line per start with each argument between square brackets, to appmarker.txt beside itself,
// and ends: enough for a test to see which program was started, from where, with what, and
// whether an argument arrived whole.
#include <string>

#include "platform/app_main.h"
#include "platform/files.h"

int AppMain(const char*) {
    char program[260] = {};
    plat::GetModuleFileName(program, sizeof program);
    std::string record = program;
    record = record.substr(0, record.find_last_of("\\/") + 1) + "appmarker.txt";
    std::string text;
    plat::ReadWholeFile(record.c_str(), &text);
    std::vector<std::string> arguments = plat::ProgramArguments();
    for (std::size_t i = 1; i < arguments.size(); ++i) text += "[" + arguments[i] + "]";
    text += "\r\n";
    return plat::WriteWholeFile(record.c_str(), text) ? 0 : 1;
}
