// ISIGNUP.EXE's entry: it reads its arguments as a C runtime program does (argc/argv).
#include "platform/app_main.h"
#include "tools/isignup/isignup.h"

int AppMain(const char*) { return isignup::Run(plat::ProgramArguments()); }
