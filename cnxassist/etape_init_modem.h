// The step that prepares the platform's dialler for the provider's number, then moves on by
// itself. On Windows 95 it creates (or refreshes) a dialling location of its own in
// telephon.ini and makes it current; on Windows 98 it sets the access prefix of the current
// location in the registry.
#pragma once

#include "cnxassist/etape.h"

// The name of the location the step creates. A location whose name begins with it is the
// step's own, made by an earlier run: it is rebuilt in place, never added twice.
constexpr const char* kModemLocationName = "Emplacement modem pour Telvora";

class CEtapeInitModem : public CEtape {
  public:
    CEtapeInitModem(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                    const char* name);
    void OnEnter() override;
    void OnLeave() override;

  private:
    // Windows 95: the location in telephon.ini. False, the file partly written, when the file
    // is not as expected or the new entry would not fit its buffer.
    bool ConfigureLocationsIni();
    // Windows 98: the current location's prefix in the registry. False when the current
    // location or its area code cannot be read.
    bool ConfigureLocationsRegistry();

    // The chosen location's identifier and key number in telephon.ini, -1 until one is chosen.
    int m_locationId;
    int m_locationIndex;
    // The dialling prefix as it was when the step was built: both access prefixes of the
    // location.
    kit::FixedText<128> m_outsideAccess;
    kit::FixedText<128> m_longDistanceAccess;
};
