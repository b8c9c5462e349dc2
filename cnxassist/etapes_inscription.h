// The steps that collect the subscriber's identifiers into the sign-up files, then run the
// platform's sign-up program and wait for it. A new subscription goes PreInscription then
// Inscription; an existing subscriber IdConnexion, IdMail, then DejaAbonne.
#pragma once

#include "cnxassist/etape.h"

// Digits dialled before the provider's number (an outside line, say), at most 127 characters.
extern kit::FixedText<128> g_dialPrefix;
// The default dial-up connection ("InternetProfile") as it was before the sign-up program ran:
// the program succeeded when it changed.
extern kit::FixedText<128> g_profileBefore;

// The provider's registration number, for a step file whose "Inscription" section has no
// "Register_Phone_Number".
constexpr const char* kRegistrationPhoneNumber = "0860765432";
// Added to the mail user name to make the subscriber's address.
constexpr const char* kMailDomainSuffix = "@telvora.fr";

class CEtapePreInscription : public CEtape {
  public:
    CEtapePreInscription(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                         const char* name);
    void OnLeave() override;

  private:
    int m_firstId;
};

// The pages of IdConnexion and IdMail: `NbSaisies` input fields, numbered from 1.
class CEtapeSaisies : public CEtape {
  public:
    CEtapeSaisies(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                  const char* name);

  protected:
    int m_firstId;
    int m_inputCount;
    kit::FixedText<128> m_insPath;
    kit::FixedText<128> m_userName;
    kit::FixedText<128> m_password;
};

class CEtapeIdConnexion : public CEtapeSaisies {
  public:
    using CEtapeSaisies::CEtapeSaisies;
    void OnLeave() override;
};

class CEtapeIdMail : public CEtapeSaisies {
  public:
    using CEtapeSaisies::CEtapeSaisies;
    void OnLeave() override;
};

// Inscription and DejaAbonne: run the sign-up program, then judge its outcome.
class CEtapeLanceInscription : public CEtape {
  public:
    using CEtape::CEtape;
    void OnEnter() override;
    int GoNext(int fromTimer) override;

  protected:
    // Writes what the sign-up file needs before the start; the file's path.
    virtual std::string PrepareSignupFile() = 0;
};

class CEtapeInscription : public CEtapeLanceInscription {
  public:
    CEtapeInscription(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                      const char* name);

  private:
    std::string PrepareSignupFile() override;

    kit::FixedText<128> m_insName;
    kit::FixedText<128> m_registerPhone;
};

class CEtapeDejaAbonne : public CEtapeLanceInscription {
  public:
    using CEtapeLanceInscription::CEtapeLanceInscription;

  private:
    std::string PrepareSignupFile() override;
};
