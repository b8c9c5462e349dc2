// Small steps near the end of a run: browser and mail settings (mostly through their registry
// scripts), the kit's icon flags, and the final page.
#pragma once

#include "cnxassist/etape.h"

// Its only effect is the registry script of its section.
class CEtapeParametreIE : public CEtape {
  public:
    using CEtape::CEtape;
    void OnEnter() override { PostNextClick(); }
};

// Sets the sender names of the mail client's default mail and news accounts to the mail
// account's user name.
class CEtapeParametreMess : public CEtape {
  public:
    using CEtape::CEtape;
    void OnEnter() override { PostNextClick(); }
    void OnLeave() override;
};

// Writes on/off flags for the icons Icone0 to Icone49 into an INI file of the kit.
class CEtapeIcone : public CEtape {
  public:
    CEtapeIcone(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name);
    void OnEnter() override;

  private:
    kit::FixedText<260> m_targetFile;
    kit::FixedText<260> m_variable;
};

// The final page: Next or Quit ends the run, with the restart prompt unless AvecReboot=0.
class CEtapeFin : public CEtape {
  public:
    CEtapeFin(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name);
    int GetEndKind() override { return m_avecReboot == 0 ? kEndStep : kEndWithRestartPrompt; }

  private:
    int m_avecReboot;
};
