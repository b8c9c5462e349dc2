// The kit's extraction program. The kit wizard starts it as "kitextract.exe /auto <directory>"
// (the directory not quoted, so it may hold blanks); it copies the payload lying beside it into
// that directory, showing its progress, and logs what it did in the directory.
//
// Exit codes: 0 when everything was copied, 1 when something could not be (the user is told in
// a box), 2 for a command line it does not understand (nothing is copied).
#include <string>

#include "common/message_wait.h"
#include "platform/app_main.h"
#include "platform/files.h"
#include "platform/window.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/progress_window.h"

namespace {

// How long the window stays once the copy is over, so that its last line can be read; longer
// after an error.
constexpr plat::Dword kDoneMilliseconds = 300;
constexpr plat::Dword kFailedMilliseconds = 1000;
// A short breath between files, for the window to follow.
constexpr plat::Dword kBetweenFilesMilliseconds = 10;

std::string ProgramFolder() {
    char path[1024] = {};
    plat::GetModuleFileName(path, sizeof path);
    return kitextract::FolderOf(path);
}

}  // namespace

int AppMain(const char* commandLine) {
    std::string destination;
    if (!kitextract::DestinationFromCommandLine(commandLine, &destination)) {
        plat::MessageBox(plat::kNoWindow, kitextract::kUsage, kitextract::kWindowTitle,
                         plat::kMbOk | plat::kMbIconStop);
        return kitextract::kExitUsage;
    }

    // Without a window the copy still happens: the files are what the wizard needs.
    plat::Hwnd window = kitextract::OpenProgressWindow();
    kitextract::Outcome outcome = kitextract::Extract(
        ProgramFolder(), destination, [window](const std::string& file, int done, int total) {
            if (!file.empty()) kitextract::ShowStatus(window, "Copie de " + file + " ...");
            kitextract::ShowProgress(window, done, total);
            kit::WaitHandlingMessages(kBetweenFilesMilliseconds);
        });

    bool failed = outcome.errors > 0;
    if (failed) {
        kitextract::ShowStatus(window, "Erreur : " + std::to_string(outcome.errors) +
                                           " élément(s) non copié(s), voir " +
                                           kitextract::kLogName);
        // The window closes by itself soon after: a kit installed only in part must not go
        // unnoticed, so the user is told in a box that waits for an answer.
        std::string text =
            "L'installation du kit n'est pas complète : " + std::to_string(outcome.errors) +
            " élément(s) n'ont pas pu être copiés dans " + destination +
            ".\r\nLe détail est dans le journal " +
            kitextract::Join(destination, kitextract::kLogName) + ".";
        plat::MessageBox(window, text.c_str(), kitextract::kWindowTitle,
                         plat::kMbOk | plat::kMbIconStop);
    } else {
        kitextract::ShowStatus(window, "Installation terminée.");
    }
    if (window != plat::kNoWindow) {
        kit::WaitHandlingMessages(failed ? kFailedMilliseconds : kDoneMilliseconds);
        if (plat::IsWindow(window)) plat::DestroyWindow(window);
    }
    return failed ? kitextract::kExitFailed : kitextract::kExitDone;
}
