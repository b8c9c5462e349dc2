#include "cnxassist/etapes_parametres.h"

#include <string>

#include "cnxassist/etapes_environnement.h"
#include "cnxassist/wizard_utils.h"
#include "common/cle_registre.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace {

constexpr const char* kAccountManagerKey = "Software\\Microsoft\\Internet Account Manager";

bool ReadText(CCleRegistre* key, const char* value, std::string* text) {
    char buffer[128];
    if (!key->QueryString(value, buffer, sizeof buffer)) return false;
    *text = buffer;
    return true;
}

// Gives the default mail and news accounts, named under `managerKey`, the mail user name as
// their sender names.
void SetDisplayNames(const std::string& managerKey) {
    CCleRegistre manager(plat::kHkeyCurrentUser, managerKey.c_str(), false);
    std::string mailAccount;
    std::string newsAccount;
    if (!ReadText(&manager, "Default Mail Account", &mailAccount)) return;
    if (!ReadText(&manager, "Default News Account", &newsAccount)) return;
    const std::string accounts = std::string(kAccountManagerKey) + "\\Accounts\\";
    CCleRegistre mail(plat::kHkeyCurrentUser, (accounts + mailAccount).c_str(), false);
    CCleRegistre news(plat::kHkeyCurrentUser, (accounts + newsAccount).c_str(), false);
    std::string userName;
    if (!ReadText(&mail, "POP3 User Name", &userName)) return;
    bool mailNamed = mail.SetString("SMTP Display Name", userName.c_str());
    bool newsNamed = news.SetString("NNTP Display Name", userName.c_str());
    // The subscriber's messages would go out under another name: a warning, the run goes on.
    if (!mailNamed || !newsNamed) {
        throw CEtapeException(1, "Impossible d'enregistrer le nom de l'expediteur %s",
                              userName.c_str());
    }
}

}  // namespace

void CEtapeParametreMess::OnLeave() {
    if (g_ieVersionCode == 1) {
        SetDisplayNames(kAccountManagerKey);
    } else if (g_ieVersionCode == 0) {
        // Version 5 keeps the default account names per identity, under the identity's own
        // copy of the account manager's key; the accounts themselves stay shared.
        CCleRegistre identities(plat::kHkeyCurrentUser, "Identities", false);
        if (!identities.IsOpen()) return;
        std::string identity;
        if (!ReadText(&identities, "Last User ID", &identity) &&
            !ReadText(&identities, "Default User ID", &identity)) {
            return;
        }
        SetDisplayNames("Identities\\" + identity + "\\" + kAccountManagerKey);
    }
}

CEtapeIcone::CEtapeIcone(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                         const char* name)
    : CEtape(window, previous, pageRect, name) {
    // Both values are paths or names of up to 259 characters: what does not fit is refused,
    // since a cut file name would have the flags written into another file.
    std::string file = ReadStepField(*this, "NomFichier", m_targetFile.capacity());
    if (file.empty()) throw CEtapeException(0, "Manque la variable NomFichier pour etape %s", name);
    std::string target = cnx::WorkingDirectory() + "\\" + file;
    if (target.size() >= m_targetFile.capacity()) {
        throw CEtapeException(0, "Variable NomFichier trop longue pour etape %s", name);
    }
    m_targetFile = target;
    m_variable = ReadStepField(*this, "NomVariable", m_variable.capacity());
    if (m_variable.empty()) {
        throw CEtapeException(0, "Manque la variable NomVariable pour etape %s", name);
    }
}

void CEtapeIcone::OnEnter() {
    bool written = true;
    for (int n = 0; n < 50; ++n) {
        const std::string icon = "Icone" + std::to_string(n);
        int flag = ReadStepInt(*this, icon.c_str(), -1);
        if (flag != 0 && flag != 1) continue;
        cnx::ClearReadOnly(m_targetFile.str());
        written = plat::WritePrivateProfileString(icon.c_str(), m_variable.c_str(),
                                                  flag == 1 ? "1" : "0", m_targetFile.c_str()) &&
                  written;
    }
    GoNext(0);
    // The icons the subscriber chose would silently not be made: a warning, and the run goes on.
    if (!written) {
        throw CEtapeException(1, "Impossible d'enregistrer le choix des icones dans %s",
                              m_targetFile.c_str());
    }
}

CEtapeFin::CEtapeFin(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                     const char* name)
    : CEtape(window, previous, pageRect, name), m_avecReboot(ReadStepInt(*this, "AvecReboot", 1)) {}
