// WinMain of the kit's windowed programs: hands the command line to AppMain.
#include "platform/app_main.h"
#include "platform/win32/win32_headers.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return AppMain(commandLine != nullptr ? commandLine : "");
}
