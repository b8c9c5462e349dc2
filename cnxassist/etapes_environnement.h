// The steps that look at the machine: the root step's checks, the logged-on user, the name
// server, and the branch on the default dial-up connection.
#pragma once

#include <string>

#include "cnxassist/etape.h"

// Browser version code: 0 version 5, 1 version 4, 2 anything else or none.
extern int g_ieVersionCode;
// 0 Windows 95, 1 Windows 98 or later.
extern int g_osKind;
// Short path of the sign-up program, empty when it was not found.
extern kit::FixedText<260> g_signupPath;

// The beginning (exactly 10 characters) of the provider's name-server addresses.
constexpr const char* kProviderNameServerPrefix = "194.206.16";

class CEtapeIdentWindow : public CEtape {
  public:
    CEtapeIdentWindow(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                      const char* name);
    void OnEnter() override;

  private:
    void CheckSystem();
    void FindSignupProgram();

    kit::FixedText<128> m_message;
    kit::FixedText<256> m_relativePath;
};

class CEtapeCheckUser : public CEtape {
  public:
    using CEtape::CEtape;
    void OnEnter() override;
};

class CEtapeCheckDNS : public CEtape {
  public:
    using CEtape::CEtape;
    void OnEnter() override;
    void OnLeave() override;

  private:
    bool m_foreignDns = true;
};

class CEtapeRemoteAccess : public CEtape {
  public:
    CEtapeRemoteAccess(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                       const char* name);
    ~CEtapeRemoteAccess() override;
    void OnEnter() override;
    int GoNext(int fromTimer) override;

  private:
    kit::FixedText<256> m_nomATester;
    CEtape* m_branch[2] = {nullptr, nullptr};
};
