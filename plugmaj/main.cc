// plugmaj.exe: the videotex plug-in installer.
#include "platform/app_main.h"
#include "plugmaj/plugmaj_main.h"

int AppMain(const char* commandLine) { return plug::RunPlugmaj(commandLine); }
