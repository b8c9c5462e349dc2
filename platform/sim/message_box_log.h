// Message boxes seen from outside the programs. A box on the simulated machine is answered at
// once and recorded in the program's own process, where no test runs when a whole kit is
// walked; when the environment variable SIMWIN_BOX_LOG names a host file, every box is also
// added to it, one line each: "<program>\t<caption>\t<text>", line breaks of the text written
// as "\n", in the Windows-1252 texts the programs use.
#pragma once

#include <string>

namespace sim {

void LogMessageBox(const std::string& caption, const std::string& text);

}  // namespace sim
