// cnxassist.exe: the connection wizard.
#include "cnxassist/wizard_main.h"
#include "platform/app_main.h"

int AppMain(const char* commandLine) { return cnx::RunWizard(commandLine); }
