#include "kitassist/kit_app.h"

#include <cstdint>
#include <string>

#include "common/profile_access.h"
#include "common/split_path.h"
#include "kitassist/browser_detect.h"
#include "kitassist/kit_dialog.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace {

constexpr std::size_t kModulePathCapacity = 1024;

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
