#include "cnxassist/etapes_applications.h"

#include <string>
#include <vector>

#include "cnxassist/wizard_utils.h"
#include "common/cle_registre.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

// Paths and arguments live in 260-byte buffers on the platform: one that would not fit is
// refused rather than cut, since a cut path names another file.
constexpr std::size_t kPathCapacity = 260;

bool FitsPath(const std::string& text) { return text.size() < kPathCapacity; }

// Reads a required key; missing or empty is fatal, as is a value its field cannot hold.
std::string ReadRequiredField(const CEtape& step, const char* key, std::size_t capacity) {
    std::string value = ReadStepField(step, key, capacity);
    if (value.empty()) {
        throw CEtapeException(0, "Manque la variable %s pour etape %s", key, step.Name());
    }
    return value;
}

}  // namespace

CEtapeInstalleQuadrel::CEtapeInstalleQuadrel(plat::Hwnd window, CEtape* previous,
                                             const plat::Rect* pageRect, const char* name)
    : CEtape(window, previous, pageRect, name) {
    m_nomExe = ReadRequiredField(*this, "NomExe", m_nomExe.capacity());
}

void CEtapeInstalleQuadrel::OnLeave() {
    char shortDirectory[kPathCapacity];
    plat::Dword n = plat::GetShortPathName(cnx::WorkingDirectory().c_str(), shortDirectory,
                                           sizeof shortDirectory);
    std::string directory =
        n > 0 && n < sizeof shortDirectory ? std::string(shortDirectory) : cnx::WorkingDirectory();
    std::string program = directory + "\\" + m_nomExe.str();
    // The installer's exit code tells nothing the wizard could act on.
    if (!FitsPath(program) || plat::SpawnWait(program.c_str(), {program}) == -1) {
        throw CEtapeException(1, "Probleme installation Quadrel");
    }
}

CEtapeLanceAppli::CEtapeLanceAppli(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                                   const char* name)
    : CEtape(window, previous, pageRect, name) {
    m_nomPage = ReadStepField(*this, "NomPage", m_nomPage.capacity());
    m_pathRelatif = ReadStepInt(*this, "PathRelatif", 1);
    m_nomApplication = ReadRequiredField(*this, "NomApplication", m_nomApplication.capacity());
    m_pathAppRech = ReadStepInt(*this, "PathAppRech", 1);
    m_finConfig = ReadStepInt(*this, "FinConfig", 0);
}

void CEtapeLanceAppli::OnEnter() {
    LaunchApplication();
    PostNextClick();
}

int CEtapeLanceAppli::GetEndKind() {
    if (m_finConfig == 0) return kOrdinaryStep;
    return m_finConfig == 1 ? kEndStep : kEndWithRestartPrompt;
}

void CEtapeLanceAppli::LaunchApplication() {
    m_nomApplication = cnx::UpperCase(m_nomApplication.str());
    const std::string name = m_nomApplication.str();
    std::string program;
    if (m_pathAppRech == 1) {
        std::string key =
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + name + ".EXE";
        CCleRegistre appPath(plat::kHkeyLocalMachine, key.c_str(), false);
        char registered[kPathCapacity];
        if (!appPath.QueryString("", registered, sizeof registered)) {
            throw CEtapeException(0, "Impossible de lancer %s", name.c_str());
        }
        program = registered;
    } else {
        program = cnx::WorkingDirectory() + "\\" + name + ".EXE";
    }
    std::vector<std::string> arguments = {program};
    if (!m_nomPage.empty()) {
        arguments.push_back(m_pathRelatif != 0 ? cnx::WorkingDirectory() + "\\" + m_nomPage.str()
                                               : m_nomPage.str());
    }
    bool fits = FitsPath(program) && FitsPath(arguments.back());
    if (!fits || plat::SpawnNoWait(program.c_str(), arguments) != 0) {
        throw CEtapeException(0, "Impossible de lancer %s ", program.c_str());
    }
}
