// The kit's extraction program. The kit wizard starts it as "kitextract.exe /auto <directory>"
// (the directory not quoted, so it may hold blanks); it copies the payload lying beside it into
// that directory, showing its progress, and logs what it did in the directory. It also copies
// itself there as the kit's uninstaller, which the control panel starts with "/supprimer"
// (removal_main.h).
//
// Exit codes: 0 when everything was copied, 1 when something could not be, or another copy into
// the same folder runs (the user is told in a box), 2 for a command line it does not understand
// (nothing is copied; the user is told that the kit is damaged).
#include <cstdint>
#include <string>

#include "common/message_wait.h"
#include "platform/app_main.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/window.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/progress_window.h"
#include "tools/kitextract/removal_main.h"

namespace {

// How long the window stays once the copy is over, so that its last line can be read; longer
// after an error.
constexpr plat::Dword kDoneMilliseconds = 300;
constexpr plat::Dword kFailedMilliseconds = 1000;

void SayStop(plat::Hwnd owner, const std::string& text) {
    plat::MessageBox(owner, text.c_str(), kitextract::kWindowTitle,
                     plat::kMbOk | plat::kMbIconStop);
}

std::string ProgramFolder() {
    char path[1024] = {};
    plat::GetModuleFileName(path, sizeof path);
    return kitextract::FolderOf(path);
}

}  // namespace

int AppMain(const char* commandLine) {
    std::string destination;
    if (kitextract::RemovalFromCommandLine(commandLine, &destination)) {
        return kitextract::RemovalMain(destination);
    }
    if (!kitextract::DestinationFromCommandLine(commandLine, &destination)) {
        // No folder, so no log: the box is all there is.
        SayStop(plat::kNoWindow, kitextract::kDamagedKit);
        return kitextract::kExitUsage;
    }
    plat::InstanceClaim claim = 0;
    if (!plat::ClaimInstance(kitextract::ClaimName(destination).c_str(), &claim)) {
        SayStop(plat::kNoWindow, "Le Kit Telvora est déjà en cours d'installation dans " +
                                     destination + ".\r\nAttendez la fin de cette installation.");
        return kitextract::kExitFailed;
    }

    // Without a window the copy still happens: the files are what the wizard needs.
    plat::Hwnd window = kitextract::OpenProgressWindow();
    char self[1024] = {};
    plat::GetModuleFileName(self, sizeof self);
    kitextract::Outcome outcome = kitextract::Extract(
        ProgramFolder(), destination,
        [window](const std::string& file, std::uint64_t done, std::uint64_t total) {
            if (!file.empty()) kitextract::ShowStatus(window, "Copie de " + file + " ...");
            kitextract::ShowProgress(window, done, total);
            // The window answers between files; nothing waits here.
            kit::WaitHandlingMessages(0);
        },
        self);

    bool failed = outcome.errors > 0;
    if (!outcome.destinationError.empty()) {
        kitextract::ShowStatus(window, "Erreur : répertoire d'installation impossible à créer");
        SayStop(window, "Le répertoire d'installation " + destination + " n'a pas pu être créé : " +
                            outcome.destinationError + ".\r\nChoisissez un autre répertoire.");
    } else if (failed) {
        const std::string logPath = kitextract::Join(destination, kitextract::kLogName);
        kitextract::ShowStatus(window, "Erreur : " + std::to_string(outcome.errors) +
                                           " élément(s) non copié(s)" +
                                           (outcome.logWritten ? ", voir " + logPath : ""));
        // The window closes by itself soon after: a kit installed only in part must not go
        // unnoticed, so the user is told in a box that waits for an answer.
        std::string text =
            "L'installation du kit n'est pas complète : " + std::to_string(outcome.errors) +
            " élément(s) n'ont pas pu être copiés dans " + destination + ".";
        if (outcome.logWritten) text += "\r\nLe détail est dans le journal " + logPath + ".";
        SayStop(window, text);
    } else {
        kitextract::ShowStatus(window, "Installation terminée.");
    }
    if (window != plat::kNoWindow) {
        kit::WaitHandlingMessages(failed ? kFailedMilliseconds : kDoneMilliseconds);
        if (plat::IsWindow(window)) plat::DestroyWindow(window);
    }
    plat::ReleaseInstance(claim);
    return failed ? kitextract::kExitFailed : kitextract::kExitDone;
}
