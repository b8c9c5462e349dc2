#include "cnxassist/step_file.h"

#include <cstdio>
#include <cstring>

#include "common/bounded_text.h"
#include "common/format_text.h"

namespace cnx {
namespace {

std::string& CurrentStepFile() {
    static std::string name = "cfg.ini";
    return name;
}

}  // namespace

CommandLineChoice ChooseStepFile(const char* commandLine) {
    CommandLineChoice choice;
    choice.stepFile = "cfg.ini";
    if (commandLine == nullptr) return choice;
    const char* slash = std::strchr(commandLine, '/');
    if (slash == nullptr) return choice;
    const char* rest = slash + 1;
    if (std::strncmp(rest, "Ver", 3) == 0) {
        choice.showVersion = true;
        return choice;
    }
    choice.stepFile = "cfg" + std::string(rest, strnlen(rest, 5)) + ".ini";
    return choice;
}

const std::string& StepFileName() { return CurrentStepFile(); }

void SetStepFileName(const std::string& name) { CurrentStepFile() = kit::CutToCapacity(name, 260); }

std::string VersionText() {
    char text[128];
    kit::FormatText(text, sizeof text, "Numero Version ( %s )   \nDate Version ( %s )   ", "1.0.0",
                    "17/12/1998");
    return text;
}

}  // namespace cnx
