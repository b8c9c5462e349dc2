#include "kitassist/kit_app.h"

#include <cstdint>
#include <string>

#include "common/profile_access.h"
#include "common/split_path.h"
#include "kitassist/browser_detect.h"
#include "kitassist/kit_dialog.h"
#include "kitassist/resource_ids.h"
#include "kitassist/shortcut.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

constexpr std::size_t kModulePathCapacity = 1024;
constexpr std::size_t kBrowsePathCapacity = 260;
// m_installDir takes the entry field's text up to this many characters.
constexpr std::size_t kInstallDirChars = 259;
constexpr unsigned kExtractHeadStartMs = 1000;
// The folder browser offers file-system folders only (BIF_RETURNONLYFSDIRS).
constexpr unsigned kBrowseOnlyFileSystemFolders = 1;
// A one-character location puts the shortcut on the desktop.
constexpr const char* kDesktopLocation = "x";

// HKEY_LOCAL_MACHINE "ProgramFilesDir", empty when it cannot be read (a value longer than the
// buffer included).
std::string ProgramFilesDir() {
    plat::RegKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                         plat::kKeyRead, &key) != plat::kErrorSuccess) {
        return std::string();
    }
    char buffer[260] = {};
    plat::Dword size = sizeof buffer;
    std::string value;
    if (plat::RegQueryValue(key, "ProgramFilesDir", nullptr,
                            reinterpret_cast<std::uint8_t*>(buffer),
                            &size) == plat::kErrorSuccess) {
        buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
        value = buffer;
    }
    plat::RegCloseKey(key);
    return value;
}

}  // namespace

const char* StartSectionOf(int category) {
    if (category >= 1 && category <= 3) return "IE3";
    if (category >= 4 && category <= 6) return "IE45";
    return "NOIE";
}

int CKitApp::InitInstance() {
    Start();
    RunDialog();
    return 0;
}

void CKitApp::Start() {
    const int category = BrowserCategory();

    m_command = "";
    m_startSection = "";
    char modulePath[kModulePathCapacity] = {};
    plat::GetModuleFileName(modulePath, sizeof modulePath);
    char name[kModulePathCapacity];
    kit::SplitPath(modulePath, m_programDir.data(), m_programDir.capacity(), name, sizeof name);

    // A path cut to the buffer would name another file: better no configuration than a wrong
    // one.
    const std::string iniPath = m_programDir.str() + kIniFileName;
    m_iniPath = iniPath;
    if (iniPath.size() < m_iniPath.capacity() && plat::CanOpenForReading(iniPath.c_str())) {
        m_startSection = StartSectionOf(category);
    } else {
        m_iniPath = "";
    }

    std::string installDir = ProgramFilesDir();
    if (installDir.empty() || installDir.back() != '\\') installDir += '\\';
    m_installDir = installDir;

    if (!m_iniPath.empty()) {
        const std::string file = m_iniPath.str();
        m_extractible = kit::ReadProfileString(file, "General", "Extractible", "", 260);
        m_abonnement = kit::ReadProfileString(file, "General", "Abonnement", "", 260);
        m_espaceValue = kit::ReadProfileString(file, "General", "Espace", "", 260);
        m_espace = m_espaceValue.c_str();
        m_raccEspace = kit::ReadProfileString(file, "General", "RaccEspace", "", 64);
    }
}

int CKitApp::RunDialog() {
    CKitDialog dialog(*this);
    return dialog.DoModal();
}

void CKitApp::RunAction(const char* action, CKitDialog& dialog) {
    const std::string name = action != nullptr ? action : "";
    if (name == "SelectDir") {
        char chosen[kBrowsePathCapacity] = {};
        if (plat::BrowseForFolder(0, "", kBrowseOnlyFileSystemFolders, chosen, sizeof chosen) &&
            chosen[0] != '\0') {
            // The field reports the change, which makes it the wizard's value.
            plat::SetDlgItemText(dialog.m_hwnd, ID_SAISIE, chosen);
        }
    } else if (name == "CopyFiles") {
        const std::string destination = dialog.Saisie();
        // Built from the value as read each time: a second run must not prefix it again.
        const std::string espacePath = destination + "\\" + m_espaceValue.str();
        m_espace = espacePath;
        char field[kInstallDirChars + 1] = {};
        plat::GetDlgItemText(dialog.m_hwnd, ID_SAISIE, field, sizeof field);
        m_installDir = field;
        const std::string command = m_extractible.str() + " /auto " + m_installDir.str();
        plat::WinExec(command.c_str(), plat::kSwShowDefault);
        // The archive is not waited for; the shortcut does not need its files, only a moment's
        // head start.
        plat::Sleep(kExtractHeadStartMs);

        ShortcutRequest request;
        request.comReady = false;
        request.target = espacePath;
        request.description = m_raccEspace.str();
        request.workingDirectory = destination;
        request.location = kDesktopLocation;
        request.iconFile = espacePath;
        request.iconIndex = 0;
        request.showCommand = 0;
        // Without a shortcut the installation is still there, but the subscriber would look
        // for its icon on the desktop: told, and the wizard goes on.
        if (!CreateShortcut(request)) {
            const std::string text =
                "Le raccourci « " + m_raccEspace.str() + " » n'a pas pu être créé sur le bureau.";
            plat::MessageBox(dialog.m_hwnd, text.c_str(), "Installation du Kit Telvora",
                             plat::kMbOk | plat::kMbIconExclamation);
        }
    } else if (name == "ExeAbonnement") {
        const std::string path = dialog.Saisie() + "\\" + m_abonnement.str();
        char directory[kBrowsePathCapacity];
        char file[kBrowsePathCapacity];
        kit::SplitPath(path.c_str(), directory, sizeof directory, file, sizeof file);
        // The sign-up program finds its files beside it.
        if (directory[0] != '\0') plat::SetCurrentDirectory(directory);
        plat::WinExec(QuotedIfBlank(path).c_str(), plat::kSwShowDefault);
    } else if (name == "ExeEspace") {
        plat::WinExec(QuotedIfBlank(m_espace.str()).c_str(), plat::kSwShowDefault);
    }
}
