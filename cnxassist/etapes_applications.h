// The steps that start programs without asking the user anything: the videotex terminal's
// installer, waited for, and an application, left running. Both move on by themselves.
#pragma once

#include "cnxassist/etape.h"

class CEtapeInstalleQuadrel : public CEtape {
  public:
    CEtapeInstalleQuadrel(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                          const char* name);
    void OnEnter() override { PostNextClick(); }
    void OnLeave() override;

  private:
    kit::FixedText<128> m_nomExe;
};

class CEtapeLanceAppli : public CEtape {
  public:
    CEtapeLanceAppli(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                     const char* name);
    void OnEnter() override;
    int GetEndKind() override;

  private:
    void LaunchApplication();

    int m_pathRelatif;
    int m_pathAppRech;
    int m_finConfig;
    kit::FixedText<128> m_nomPage;
    kit::FixedText<128> m_nomApplication;
};
