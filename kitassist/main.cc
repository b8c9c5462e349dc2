// kitassist.exe: the kit installation wizard.
#include "kitassist/kit_app.h"
#include "platform/app_main.h"

int AppMain(const char* commandLine) {
    CKitApp app;
    return app.InitInstance();
}
