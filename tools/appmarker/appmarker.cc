// appmarker.exe: a stand-in for the applications that the connection wizard's LanceAppli steps
// start. It appends the command line it was given, as one line, to appmarker.txt beside itself,
// and ends: enough for a test to see which program was started, from where, with what.
#include <string>

#include "platform/app_main.h"
#include "platform/files.h"

int AppMain(const char* commandLine) {
    char program[260] = {};
    plat::GetModuleFileName(program, sizeof program);
    std::string record = program;
    record = record.substr(0, record.find_last_of("\\/") + 1) + "appmarker.txt";
    std::string text;
    plat::ReadWholeFile(record.c_str(), &text);
    text += std::string(commandLine != nullptr ? commandLine : "") + "\r\n";
    return plat::WriteWholeFile(record.c_str(), text) ? 0 : 1;
}
