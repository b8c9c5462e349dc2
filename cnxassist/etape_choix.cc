#include "cnxassist/etape_choix.h"

#include <string>

#include "cnxassist/etape_factory.h"
#include "cnxassist/wizard_utils.h"

CEtapeChoix::CEtapeChoix(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                         const char* name)
    : CEtape(window, previous, pageRect, name) {
    m_nbBoutons = ReadStepInt(*this, "NbBoutons", -1);
    // A negative count would move the id counter backwards.
    if (m_nbBoutons > kMaxChoices || m_nbBoutons < 0) {
        throw CEtapeException(0, "champs NbBoutons faux pour %s", name);
    }
    m_firstId = g_nextControlId;
    g_nextControlId += m_nbBoutons;
}

CEtapeChoix::~CEtapeChoix() {
    // All ten: with no radio checked a page of fewer choices uses the entry past the last one.
    for (CEtape* target : m_suivantsChoisis) delete target;
}

int CEtapeChoix::GoToChoice(int index) {
    if (m_suivantsChoisis[index] == nullptr) {
        std::string name;
        cnx::GetListItem(m_suivants.c_str(), index + 1, &name);
        m_suivantsChoisis[index] = CreateEtape(m_hwnd, this, &m_pageRect, name.c_str());
    }
    MakeCurrent(m_suivantsChoisis[index]);
    return 1;
}

int CEtapeBoutonRadio::GoNext(int fromTimer) {
    int choice = 0;
    while (choice < m_nbBoutons &&
           plat::IsDlgButtonChecked(m_hwnd, m_firstId + choice) != plat::kBstChecked) {
        ++choice;
    }
    // No radio checked can only happen on a page without radios: there is no branch for it
    // when all ten choices exist.
    if (choice >= kMaxChoices) throw CEtapeException(0, "etape inexistante : %s", "");
    return GoToChoice(choice);
}

CEtapeBouton::CEtapeBouton(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                           const char* name)
    : CEtapeChoix(window, previous, pageRect, name) {}

int CEtapeBouton::OnControl(int id) {
    int index = id - m_firstId;
    if (index < 0 || index >= m_nbBoutons) return 0;
    m_choix = index;
    PostNextClick();
    return 1;
}

int CEtapeBouton::GoNext(int fromTimer) {
    if (m_choix < 0 || m_choix >= m_nbBoutons) return 0;
    return GoToChoice(m_choix);
}
