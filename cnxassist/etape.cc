#include "cnxassist/etape.h"

#include "cnxassist/assistant.h"
#include "cnxassist/etape_factory.h"
#include "cnxassist/etapes_environnement.h"
#include "cnxassist/registry_script.h"
#include "cnxassist/step_file.h"
#include "cnxassist/step_section.h"
#include "cnxassist/wizard_utils.h"
#include "common/profile_access.h"

int g_nextControlId = kFirstControlId;

std::string ReadStepString(const CEtape& step, const char* key, std::size_t capacity) {
    return cnx::ReadStepFileString(step.IniPath(), step.Name(), key, capacity);
}

std::string ReadStepField(const CEtape& step, const char* key, std::size_t fieldCapacity) {
    std::string value = ReadStepString(step, key, 512);
    if (value.size() >= fieldCapacity) {
        throw CEtapeException(0, "Variable %s trop longue pour etape %s", key, step.Name());
    }
    return value;
}

int ReadStepInt(const CEtape& step, const char* key, int defaultValue) {
    return cnx::ReadStepFileInt(step.IniPath(), step.Name(), key, defaultValue);
}

CEtape::CEtape(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name)
    : m_previous(previous), m_name(name), m_pageRect(*pageRect), m_hwnd(window) {
    m_iniPath = cnx::WorkingDirectory() + "\\" + cnx::StepFileName();
    try {
        // The script runs in its constructor.
        [[maybe_unused]] CScriptRegistre script(g_ieVersionCode, m_iniPath.c_str(), name);
    } catch (const util_exception& e) {
        throw CEtapeException(0, "lecture %s : %s", name, e.Message());
    }
    m_presenceSuivant = ReadStepInt(*this, "PresenceSuivant", 1);
    m_presencePrecedent = ReadStepInt(*this, "PresencePrecedent", 1);
    m_presenceQuitter = ReadStepInt(*this, "PresenceQuitter", 1);
    // Read as unsigned, so that a negative value counts as above 3.
    for (int presence : {m_presenceSuivant, m_presencePrecedent, m_presenceQuitter}) {
        if (static_cast<unsigned>(presence) > 3) {
            throw CEtapeException(0, "champs Presence faux pour %s", name);
        }
    }
    std::string suivants = ReadStepField(*this, "Suivants", m_suivants.capacity());
    if (suivants.empty())
        throw CEtapeException(0, "impossible de lire variable Suivants de %s", name);
    m_suivants = suivants;
    m_description = ReadStepString(*this, "Description", 128);
    if (!m_description.empty()) {
        m_page = LoadPage(cnx::WorkingDirectory() + "\\" + m_description.str());
        if (m_page == nullptr) {
            throw CEtapeException(0, "impossible de lire le fichier description de %s", name);
        }
        // The page's controls take their ids from the counter as it stands now.
        m_page->Create(m_hwnd, &m_pageRect);
    }
}

// The page's child windows stay with the wizard window, which destroys them.
CEtape::~CEtape() { delete m_next; }

int CEtape::GoNext(int fromTimer) {
    if (m_next == nullptr) m_next = CreateEtape(m_hwnd, this, &m_pageRect, m_suivants.c_str());
    MakeCurrent(m_next);
    return 1;
}

int CEtape::GoPrevious() {
    if (m_previous == nullptr) return 1;
    m_previous->OnReturn();
    MakeCurrent(m_previous);
    return 1;
}

void CEtape::MakeCurrent(CEtape* step) {
    g_assistant->m_current = step;
    plat::PostMessage(m_hwnd, MSG_STEP_CHANGED, 0, 0);
}

void CEtape::PostNextClick() { plat::PostMessage(m_hwnd, plat::kWmCommand, ID_SUIVANT, 0); }

namespace {

void ApplyPresence(plat::Hwnd window, int id, int presence) {
    plat::Hwnd button = plat::GetDlgItem(window, id);
    if (presence == 0) {
        plat::ShowWindow(button, plat::kSwHide);
        return;
    }
    plat::ShowWindow(button, plat::kSwShow);
    plat::EnableWindow(button, presence >= 2);
    if (presence == 3) plat::SetFocus(button);
}

}  // namespace

void CEtape::Show(plat::Hdc dc) {
    ApplyPresence(m_hwnd, ID_PRECEDENT, m_presencePrecedent);
    ApplyPresence(m_hwnd, ID_SUIVANT, m_presenceSuivant);
    ApplyPresence(m_hwnd, ID_QUITTER, m_presenceQuitter);
    // After the buttons, so that a page control numbered 1 takes the focus from them.
    if (m_page != nullptr) m_page->Draw(dc, &m_pageRect);
}

void CEtape::Erase(plat::Hdc dc) {
    if (m_page != nullptr) {
        m_page->Erase(dc, &m_pageRect, plat::GetSysColor(plat::kColorInactiveBorder));
    }
}
