// The two choice steps: the branch taken follows the page's radio buttons ("BoutonRadio") or
// the page's push button that was clicked ("Bouton"). Item n of "Suivants" is the target of
// choice n; each target step is built once and reused.
#pragma once

#include "cnxassist/etape.h"

class CEtapeChoix : public CEtape {
  public:
    static constexpr int kMaxChoices = 10;

    CEtapeChoix(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name);
    ~CEtapeChoix() override;

  protected:
    // Makes the target of choice `index` (0-based) current, building it the first time.
    int GoToChoice(int index);

    CEtape* m_suivantsChoisis[kMaxChoices] = {};
    int m_nbBoutons = -1;
    int m_firstId = 0;
};

class CEtapeBoutonRadio : public CEtapeChoix {
  public:
    using CEtapeChoix::CEtapeChoix;
    int GoNext(int fromTimer) override;
};

class CEtapeBouton : public CEtapeChoix {
  public:
    CEtapeBouton(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name);
    int GoNext(int fromTimer) override;
    int OnControl(int id) override;

  private:
    int m_choix = -1;
};
