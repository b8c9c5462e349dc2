// Which step file the wizard uses, chosen from its command line.
#pragma once

#include <string>

namespace cnx {

struct CommandLineChoice {
    bool showVersion = false;  // "/Ver": the version box, then exit code 1
    std::string stepFile;      // "cfg.ini" or "cfg" + up to five characters + ".ini"
};

// No "/" (or an empty line): "cfg.ini". "/" followed by "Ver" (exactly these three characters,
// so /Version too): the version box. Any other "/": "cfg", the next five characters at most
// (blanks and further slashes included), ".ini".
CommandLineChoice ChooseStepFile(const char* commandLine);

// The step file of this run (set once at start-up).
const std::string& StepFileName();
void SetStepFileName(const std::string& name);

// The version box's caption and text.
constexpr const char* kVersionCaption = "Version Configurateur";
std::string VersionText();

}  // namespace cnx
