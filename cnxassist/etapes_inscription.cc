#include "cnxassist/etapes_inscription.h"

#include <string>

#include "cnxassist/assistant.h"
#include "cnxassist/etapes_environnement.h"
#include "cnxassist/process_watch.h"
#include "cnxassist/wizard_utils.h"
#include "common/cle_registre.h"
#include "common/profile_access.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/profile.h"

kit::FixedText<128> g_dialPrefix;
kit::FixedText<128> g_profileBefore;

namespace {

constexpr const char* kRemoteAccessKey = "RemoteAccess";
constexpr const char* kProfileValue = "InternetProfile";
constexpr const char* kInternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr std::size_t kFieldCapacity = 128;

std::string ReadProfile() {
    return cnx::ReadRegistryText(plat::kHkeyCurrentUser, kRemoteAccessKey, kProfileValue, 128);
}

// The text of control `id`, cut to 127 characters; false when the page has no such control.
bool ReadField(plat::Hwnd window, int id, std::string* text) {
    plat::Hwnd control = plat::GetDlgItem(window, id);
    if (control == 0) return false;
    char buffer[kFieldCapacity] = {};
    plat::GetWindowText(control, buffer, sizeof buffer);
    *text = buffer;
    return true;
}

std::string InWorkingDirectory(const std::string& name) {
    return cnx::WorkingDirectory() + "\\" + name;
}

// The private-profile write turns a CR or LF in a value into a line break, which would let a
// typed text add keys or sections to the sign-up file: only the text before the first one goes.
// A write that fails would hand the sign-up program a file without the subscriber's data (it
// would create a connection that cannot work): that ends the run with a fatal error.
void WriteSignupValue(const std::string& file, const char* section, const char* key,
                      const std::string& value) {
    std::string oneLine = value.substr(0, value.find_first_of("\r\n"));
    if (!plat::WritePrivateProfileString(section, key, oneLine.c_str(), file.c_str())) {
        throw CEtapeException(0, "Impossible d'ecrire %s dans le fichier %s", key, file.c_str());
    }
}

// The prefix goes between the quotes of the telephony location entry, whose next reading
// counts its quotes: only what a dialling string holds is kept, digits, blanks and the signs
// the dialler knows. The characters left out are returned in `dropped`, in their order.
std::string DialablePrefix(const std::string& typed, std::string* dropped) {
    static const std::string kSigns = " *#,WPT!@$";
    std::string kept;
    for (char c : typed) {
        if ((c >= '0' && c <= '9') || kSigns.find(c) != std::string::npos) {
            kept += c;
        } else {
            *dropped += c;
        }
    }
    return kept;
}

// Keeps the typed prefix as g_dialPrefix; a warning naming what was left out when it is not
// all dialable, raised once the step has done the rest of its work (the run goes on).
void KeepDialPrefix(const std::string& typed, std::string* warning) {
    std::string dropped;
    g_dialPrefix = DialablePrefix(typed, &dropped);
    if (!dropped.empty()) *warning = "Caractères ignorés dans le préfixe : " + dropped;
}

}  // namespace

CEtapePreInscription::CEtapePreInscription(plat::Hwnd window, CEtape* previous,
                                           const plat::Rect* pageRect, const char* name)
    : CEtape(window, previous, pageRect, name), m_firstId(g_nextControlId) {
    g_nextControlId += 1;
}

void CEtapePreInscription::OnLeave() {
    g_dialPrefix = "";
    g_profileBefore = "";
    std::string prefix;
    std::string warning;
    if (ReadField(m_hwnd, m_firstId, &prefix)) KeepDialPrefix(prefix, &warning);
    g_profileBefore = ReadProfile();
    if (!warning.empty()) throw CEtapeException(1, "%s", warning.c_str());
}

CEtapeSaisies::CEtapeSaisies(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                             const char* name)
    : CEtape(window, previous, pageRect, name), m_firstId(g_nextControlId) {
    // Reserving a negative count would move the counter back, and the next page's controls
    // would share ids with this one's: clicks and texts would reach the wrong step.
    if (ReadStepString(*this, "NbSaisies", 128).empty()) {
        throw CEtapeException(0, "Manque la variable NbSaisies pour etape %s", name);
    }
    m_inputCount = ReadStepInt(*this, "NbSaisies", -1);
    if (m_inputCount < 0) {
        throw CEtapeException(0, "Variable NbSaisies negative pour etape %s", name);
    }
    // A click reaches the window with its control id in 16 bits: fields numbered past that
    // could never be told apart (and the counter itself would overflow).
    if (m_inputCount > kLastControlId + 1 - g_nextControlId) {
        throw CEtapeException(0, "Variable NbSaisies trop grande pour etape %s", name);
    }
    g_nextControlId += m_inputCount;
    // Field 2 is a password on both pages: masked, as Windows masks one in its own dialogs.
    // Only what is shown changes; the text read and written stays the one typed.
    if (m_inputCount >= 2) {
        plat::Hwnd password = plat::GetDlgItem(m_hwnd, m_firstId + 1);
        if (password != 0) plat::SendMessage(password, plat::kEmSetPasswordChar, '*', 0);
    }
}

void CEtapeIdConnexion::OnLeave() {
    std::string working = InWorkingDirectory("modele_0.ins");
    // An existing working copy holds what earlier steps wrote: it is not replaced.
    if (!plat::CanOpenForReading(working.c_str())) {
        std::string model = InWorkingDirectory("modele.ins");
        cnx::ClearReadOnly(model);
        // A missing model is no error (the keys go into a new file), but a copy that fails while
        // the model is there would leave the sign-up file without its settings.
        if (!plat::CopyFile(model.c_str(), working.c_str(), false) &&
            plat::CanOpenForReading(model.c_str())) {
            throw CEtapeException(0, "Impossible de copier %s dans %s", model.c_str(),
                                  working.c_str());
        }
    }
    m_insPath = working;
    std::string text;
    if (ReadField(m_hwnd, m_firstId, &text)) m_userName = text;
    WriteSignupValue(m_insPath.str(), "User", "Name", m_userName.str());
    if (ReadField(m_hwnd, m_firstId + 1, &text)) m_password = text;
    WriteSignupValue(m_insPath.str(), "User", "Password", m_password.str());
    std::string warning;
    if (ReadField(m_hwnd, m_firstId + 2, &text)) KeepDialPrefix(text, &warning);
    // An unreadable value leaves the one recorded earlier.
    {
        CCleRegistre key(plat::kHkeyCurrentUser, kRemoteAccessKey, false);
        char buffer[128];
        if (key.QueryString(kProfileValue, buffer, sizeof buffer)) g_profileBefore = buffer;
    }
    if (!warning.empty()) throw CEtapeException(1, "%s", warning.c_str());
}

void CEtapeIdMail::OnLeave() {
    m_insPath = InWorkingDirectory("modele_0.ins");
    cnx::ClearReadOnly(m_insPath.str());
    std::string text;
    if (ReadField(m_hwnd, m_firstId, &text)) m_userName = text;
    const std::string file = m_insPath.str();
    WriteSignupValue(file, "Internet_Mail", "Email_Name", m_userName.str());
    WriteSignupValue(file, "Internet_Mail", "POP_Logon_Name", m_userName.str());
    // The suffix follows the user name as typed up to its first line break.
    std::string user = m_userName.str();
    user = user.substr(0, user.find_first_of("\r\n"));
    WriteSignupValue(file, "Internet_Mail", "Email_address", user + kMailDomainSuffix);
    if (ReadField(m_hwnd, m_firstId + 1, &text)) m_password = text;
    WriteSignupValue(file, "Internet_Mail", "POP_Logon_Password", m_password.str());
}

void CEtapeLanceInscription::OnEnter() { PostNextClick(); }

int CEtapeLanceInscription::GoNext(int fromTimer) {
    if (fromTimer == 0) {
        std::string program = g_signupPath.str();
        {
            // Without them the browser would neither dial nor leave offline mode. A machine
            // without the browser's settings key has no browser to set: the key is never
            // created, and only a write into a key that is there can fail.
            CCleRegistre settings(plat::kHkeyCurrentUser, kInternetSettingsKey, false);
            bool dial = !settings.IsOpen() || settings.SetDword("EnableAutoDial", 1);
            bool online = !settings.IsOpen() || settings.SetDword("GlobalUserOffline", 0);
            if (!dial || !online) {
                throw CEtapeException(0, "Impossible de regler la numerotation du navigateur");
            }
        }
        std::string signupFile = PrepareSignupFile();
        // Left where it was, the step would keep every button disabled with nothing running:
        // the user could only kill the wizard.
        plat::ProcessHandle started = 0;
        if (plat::SpawnNoWait(program.c_str(), {program, signupFile}, &started) != 0) {
            throw CEtapeException(0, "Impossible de lancer le programme d'inscription %s",
                                  program.c_str());
        }
        cnx::WatchSignupProcess(started, program);
        plat::SetTimer(m_hwnd, kWaitTimerId, kWaitTimerMilliseconds);
        return 1;
    }
    if (fromTimer == 1) {
        // A new or another default connection means the program did its work.
        if (ReadProfile() != g_profileBefore.str()) return CEtape::GoNext(0);
        return 0;
    }
    return 0;
}

CEtapeInscription::CEtapeInscription(plat::Hwnd window, CEtape* previous,
                                     const plat::Rect* pageRect, const char* name)
    : CEtapeLanceInscription(window, previous, pageRect, name) {
    m_presenceSuivant = 1;
    m_presencePrecedent = 1;
    m_presenceQuitter = 1;
    m_insName = ReadStepString(*this, "TelvoraIsp", 128);
    if (m_insName.empty()) {
        throw CEtapeException(0, "Manque la variable Page_Start pour etape %s", name);
    }
    // Present but empty counts as missing: the number dialled would be the prefix alone.
    std::string phone = kit::ReadProfileString(IniPath(), "Inscription", "Register_Phone_Number",
                                               kRegistrationPhoneNumber, 128);
    m_registerPhone = phone.empty() ? kRegistrationPhoneNumber : phone;
}

std::string CEtapeInscription::PrepareSignupFile() {
    std::string file = InWorkingDirectory(m_insName.str());
    // The kit brings this file with the sign-up program's settings in it. Without it, the
    // write below would make a file holding the number alone, and the sign-up program would
    // be handed that: the run ends and nothing is written.
    if (plat::GetFileAttributes(file.c_str()) == plat::kInvalidFileAttributes) {
        throw CEtapeException(0, "Fichier d'inscription introuvable : %s", file.c_str());
    }
    std::string number = m_registerPhone.str();
    if (!g_dialPrefix.empty()) {
        cnx::ClearReadOnly(file);
        number = g_dialPrefix.str() + number;
    }
    WriteSignupValue(file, "Phone", "Phone_Number", number);
    return file;
}

std::string CEtapeDejaAbonne::PrepareSignupFile() { return InWorkingDirectory("modele_0.ins"); }
