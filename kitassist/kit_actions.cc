// The internal actions of the "Proc" and "Procx" keys, and the checked start of a program.
#include "kitassist/kit_actions.h"

#include <string>

#include "common/install_folder.h"
#include "common/install_record.h"
#include "common/program_lookup.h"
#include "common/split_path.h"
#include "kitassist/button_keys.h"
#include "kitassist/kit_app.h"
#include "kitassist/resource_ids.h"
#include "kitassist/shortcut.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

constexpr std::size_t kBrowsePathCapacity = 260;
// A one-character location puts the shortcut on the desktop.
constexpr const char* kDesktopLocation = "x";
// How long one wait for the extraction lasts before the window's messages are looked at again
// (MsgWaitForMultipleObjects returns at once when one arrives).
constexpr plat::Dword kWaitSliceMs = 200;

void SayStop(plat::Hwnd owner, const std::string& text) {
    plat::MessageBox(owner, text.c_str(), kKitBoxCaption, plat::kMbOk | plat::kMbIconStop);
}

// The installation folder of the entry field, told and refused (empty) when it is none.
std::string CheckedFolder(plat::Hwnd owner, const std::string& saisie) {
    const std::string folder = kit::NormaliseFolder(saisie);
    if (folder.empty()) {
        SayStop(owner, "Indiquez le répertoire où installer le Kit Telvora.");
        return std::string();
    }
    if (!kit::IsFullFolderPath(folder)) {
        SayStop(owner,
                "Le répertoire d'installation doit être un chemin complet, comme "
                "C:\\Program Files\\Telvora :\r\n" +
                    folder);
        return std::string();
    }
    return folder;
}

bool IsFile(const std::string& path) {
    const plat::Dword attributes = plat::GetFileAttributes(path.c_str());
    return attributes != plat::kInvalidFileAttributes &&
           (attributes & plat::kFileAttributeDirectory) == 0;
}

// Waits for the extraction to end. The dialog's messages are handled meanwhile, so that it
// repaints; its buttons stay disabled (the dialog is busy) and what they receive is dropped,
// what came in until the end included: a second click must not press the next page's button.
// A quit message is handed on once the wait is over.
void WaitForProgram(plat::ProcessHandle process, plat::Hwnd dialog) {
    bool quit = false;
    int quitCode = 0;
    bool ended = false;
    while (!ended) {
        ended = plat::WaitForProcessOrMessage(process, kWaitSliceMs);
        plat::Msg msg;
        while (plat::PeekMessage(&msg, 0, plat::kPmRemove)) {
            if (msg.message == plat::kWmQuit) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            if (plat::IsDialogMessage(dialog, &msg)) continue;
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
    }
    plat::CloseProcessHandle(process);
    if (quit) plat::PostQuitMessage(quitCode);
}

// The shortcut joins what the extraction recorded, so that the kit's removal takes it away
// too. Without a record (an extraction program of another make) there is no removal to tell.
// False when the record is there but could not take it.
bool RecordShortcut(const std::string& destination, const std::string& link) {
    kit::InstallRecord record;
    if (link.empty() || !kit::LoadRecord(destination, &record)) return true;
    kit::AddShortcut(&record, link);
    return kit::SaveRecord(destination, record);
}

}  // namespace

bool StartProgramOrSay(plat::Hwnd owner, const std::string& commandLine) {
    if (plat::WinExec(commandLine.c_str(), plat::kSwShowDefault) > 31) return true;
    SayStop(owner, "Le programme suivant n'a pas pu être lancé :\r\n" + commandLine);
    return false;
}

void SayCommandTooLong(plat::Hwnd owner, const std::string& cut) {
    SayStop(owner, "La commande est trop longue pour être lancée :\r\n" + cut);
}

bool CKitApp::SelectDir(plat::Hwnd dialog) {
    char chosen[kBrowsePathCapacity] = {};
    // Owned by the wizard, which it disables while it is open: no second browser, no Installer.
    if (plat::BrowseForFolder(dialog, "", plat::kBifReturnOnlyFsDirs, chosen, sizeof chosen) &&
        chosen[0] != '\0') {
        // The field reports the change, which makes it the wizard's value.
        plat::SetDlgItemText(dialog, ID_SAISIE, chosen);
    }
    return true;
}

bool CKitApp::CopyFiles(plat::Hwnd dialog, const std::string& saisie) {
    const std::string destination = CheckedFolder(dialog, saisie);
    if (destination.empty()) return false;
    // Built from the value as read each time: a second run must not prefix it again.
    const std::string espacePath =
        m_espaceValue.empty() ? std::string() : destination + "\\" + m_espaceValue.str();
    m_espace = espacePath.empty() ? m_espaceValue.str() : espacePath;
    m_installDir = destination;

    const std::string command = m_extractible.str() + " /auto " + destination;
    plat::ProcessHandle process = 0;
    if (plat::StartProcessKept(command.c_str(), plat::kSwShowDefault, &process) <= 31) {
        SayStop(dialog, "Le programme suivant n'a pas pu être lancé :\r\n" + command);
        return false;
    }
    WaitForProgram(process, dialog);

    // Whatever the extraction program says of itself, the kit is installed when the program
    // the shortcut points to is there. Without an "Espace" there is nothing to point to.
    if (espacePath.empty()) return true;
    if (!IsFile(espacePath)) {
        SayStop(dialog, "L'installation du Kit Telvora n'a pas abouti : le programme " +
                            espacePath +
                            " n'a pas été copié.\r\nAucun raccourci n'a été mis sur le bureau.");
        return false;
    }
    ShortcutRequest request;
    request.comReady = false;
    request.target = espacePath;
    request.description = m_raccEspace.str();
    request.workingDirectory = destination;
    request.location = kDesktopLocation;
    request.iconFile = espacePath;
    request.iconIndex = 0;
    request.showCommand = 0;
    // Without a shortcut the installation is still there, but the subscriber would look for
    // its icon on the desktop: told, and the wizard goes on.
    if (!CreateShortcut(request)) {
        const std::string text =
            "Le raccourci « " + m_raccEspace.str() + " » n'a pas pu être créé sur le bureau.";
        plat::MessageBox(dialog, text.c_str(), "Installation du Kit Telvora",
                         plat::kMbOk | plat::kMbIconExclamation);
        return true;
    }
    if (!RecordShortcut(destination, ShortcutLinkPath(request))) {
        // The shortcut works; only its removal with the kit is lost, which the subscriber
        // should know before he looks for it.
        const std::string text = "Le raccourci « " + m_raccEspace.str() +
                                 " » ne sera pas supprimé avec le kit : la liste des fichiers "
                                 "installés n'a pas pu être complétée.";
        plat::MessageBox(dialog, text.c_str(), "Installation du Kit Telvora",
                         plat::kMbOk | plat::kMbIconExclamation);
    }
    return true;
}

bool CKitApp::ExeAbonnement(plat::Hwnd dialog, const std::string& saisie) {
    const std::string folder = CheckedFolder(dialog, saisie);
    if (folder.empty()) return false;
    // The folder is the user's and taken whole; within the value, the program is found as
    // Windows finds it in an unquoted line, so that "cnxassist.exe /xyz" carries an argument.
    const std::string prefix = folder + "\\";
    const kit::UnquotedProgram program = kit::FindUnquotedProgram(
        m_abonnement.str(), [&prefix](const std::string& name) { return IsFile(prefix + name); });
    const std::string path = prefix + program.program;
    char directory[kBrowsePathCapacity];
    char file[kBrowsePathCapacity];
    kit::SplitPath(path.c_str(), directory, sizeof directory, file, sizeof file);
    // The sign-up program finds its files beside it.
    if (directory[0] != '\0') plat::SetCurrentDirectory(directory);
    std::string command = "\"" + path + "\"";
    if (!program.arguments.empty()) command += " " + program.arguments;
    return StartProgramOrSay(dialog, command);
}

bool CKitApp::RunAction(const char* action, plat::Hwnd dialog, const std::string& saisie) {
    const std::string name = action != nullptr ? action : "";
    if (name == "SelectDir") return SelectDir(dialog);
    if (name == "CopyFiles") return CopyFiles(dialog, saisie);
    if (name == "ExeAbonnement") return ExeAbonnement(dialog, saisie);
    if (name == "ExeEspace") return StartProgramOrSay(dialog, QuotedIfBlank(m_espace.str()));
    return true;
}
