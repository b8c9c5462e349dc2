#include "cnxassist/etapes_environnement.h"

#include <cstring>

#include "cnxassist/etape_factory.h"
#include "cnxassist/platform_version.h"
#include "cnxassist/wizard_utils.h"
#include "common/cle_registre.h"
#include "platform/files.h"

int g_ieVersionCode = 0;
int g_osKind = 0;
kit::FixedText<260> g_signupPath;

namespace {

constexpr const char* kMstcpKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

// The short form of `path` when that file can be opened, else the empty text.
std::string ShortPathIfPresent(const std::string& path) {
    char shortPath[260];
    plat::Dword n = plat::GetShortPathName(path.c_str(), shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath) return std::string();
    return plat::CanOpenForReading(shortPath) ? std::string(shortPath) : std::string();
}

}  // namespace

CEtapeIdentWindow::CEtapeIdentWindow(plat::Hwnd window, CEtape* previous,
                                     const plat::Rect* pageRect, const char* name)
    : CEtape(window, previous, pageRect, name) {
    m_message = ReadStepString(*this, "Message", 128);
    if (m_message.empty())
        throw CEtapeException(0, "Manque la variable Message pour etape %s", name);
    m_relativePath = ReadStepString(*this, "RelativePath", 256);
    g_signupPath = "isignup.exe";
}

void CEtapeIdentWindow::CheckSystem() {
    PlatformVersion version;
    std::memset(&version, 0, sizeof version);
    version.size = sizeof version;
    // The text is shown whole: a "%" in it is not a format.
    if (!GetPlatformVersion(&version) || version.platformCode != 1) {
        throw CEtapeException(0, "%s", m_message.c_str());
    }
    if (IsWindows95(&version)) {
        g_osKind = 0;
    } else if (IsWindows98OrLater(&version)) {
        g_osKind = 1;
    } else {
        throw CEtapeException(0, "%s", m_message.c_str());
    }
    std::string ie = cnx::ReadRegistryText(
        plat::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version", 128);
    g_ieVersionCode = ie.empty() ? 2 : ie[0] == '5' ? 0 : ie[0] == '4' ? 1 : 2;
}

void CEtapeIdentWindow::FindSignupProgram() {
    std::string registered = cnx::ReadRegistryText(
        plat::kHkeyLocalMachine,
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ISIGNUP.EXE", "", 260);
    std::string found = registered.empty() ? std::string() : ShortPathIfPresent(registered);
    if (found.empty()) {
        char current[260];
        plat::Dword n = plat::GetCurrentDirectory(sizeof current, current);
        std::string local = std::string(current, n < sizeof current ? n : 0) + "\\" +
                            (m_relativePath.empty() ? std::string() : m_relativePath.str() + "\\") +
                            "ISIGNUP.EXE";
        found = ShortPathIfPresent(local);
    }
    g_signupPath = found;
    if (found.empty()) {
        throw CEtapeException(0, "L'etape %s a detecté l'absence de l'assistant de connexion",
                              Name());
    }
}

void CEtapeIdentWindow::OnEnter() {
    CheckSystem();
    FindSignupProgram();
    GoNext(0);
}

void CEtapeCheckUser::OnEnter() {
    std::string user = cnx::ReadRegistryText(
        plat::kHkeyLocalMachine, "System\\CurrentControlSet\\Control", "Current User", 512);
    if (!user.empty()) PostNextClick();
}

void CEtapeCheckDNS::OnEnter() {
    m_foreignDns = true;
    std::string server =
        cnx::ReadRegistryText(plat::kHkeyLocalMachine, kMstcpKey, "NameServer", 512);
    if (server.empty() || server.compare(0, 10, kProviderNameServerPrefix) == 0) {
        m_foreignDns = false;
        PostNextClick();
    }
}

void CEtapeCheckDNS::OnLeave() {
    if (!m_foreignDns) return;
    CCleRegistre key(plat::kHkeyLocalMachine, kMstcpKey, false);
    bool domain = key.SetString("Domain", ReadStepString(*this, "Domain", 128).c_str());
    bool servers = key.SetString("NameServer", ReadStepString(*this, "Serveur", 128).c_str());
    // Left with the other provider's name servers, the connection would resolve no name.
    if (!domain || !servers) {
        throw CEtapeException(0, "Impossible d'enregistrer les serveurs de noms de %s",
                              ReadStepString(*this, "Domain", 128).c_str());
    }
}

CEtapeRemoteAccess::CEtapeRemoteAccess(plat::Hwnd window, CEtape* previous,
                                       const plat::Rect* pageRect, const char* name)
    : CEtape(window, previous, pageRect, name) {
    m_nomATester = ReadStepString(*this, "NomATester", 256);
    if (m_nomATester.empty()) {
        throw CEtapeException(0, "Manque la variable NomATester pour etape %s", name);
    }
}

CEtapeRemoteAccess::~CEtapeRemoteAccess() {
    delete m_branch[0];
    delete m_branch[1];
}

void CEtapeRemoteAccess::OnEnter() { PostNextClick(); }

int CEtapeRemoteAccess::GoNext(int fromTimer) {
    std::string profile =
        cnx::ReadRegistryText(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile", 256);
    int branch = profile.compare(0, m_nomATester.size(), m_nomATester.str()) == 0 ? 0 : 1;
    if (profile.empty()) branch = 1;
    if (m_branch[branch] == nullptr) {
        std::string name;
        cnx::GetListItem(m_suivants.c_str(), branch + 1, &name);
        m_branch[branch] = CreateEtape(m_hwnd, this, &m_pageRect, name.c_str());
    }
    MakeCurrent(m_branch[branch]);
    return 1;
}
