#include "cnxassist/etape_factory.h"

#include <cstring>

#include "cnxassist/etape_choix.h"
#include "cnxassist/etape_init_modem.h"
#include "cnxassist/etapes_applications.h"
#include "cnxassist/etapes_environnement.h"
#include "cnxassist/etapes_inscription.h"
#include "cnxassist/etapes_parametres.h"
#include "cnxassist/step_file.h"
#include "cnxassist/step_section.h"
#include "cnxassist/wizard_utils.h"

namespace {

using Maker = CEtape* (*)(plat::Hwnd, CEtape*, const plat::Rect*, const char*);

template <typename Step>
CEtape* Make(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name) {
    return new Step(window, previous, pageRect, name);
}

struct FactoryRow {
    const char* keyword;
    Maker make;
};

// The order matters: "BoutonRadio" before "Bouton", and every keyword is compared from the
// first character, so "PreInscription" is never taken for "Inscription".
const FactoryRow kFactoryTable[] = {
    {"IdentWindow", Make<CEtapeIdentWindow>},
    {"Inscription", Make<CEtapeInscription>},
    {"DejaAbonne", Make<CEtapeDejaAbonne>},
    {"PreInscription", Make<CEtapePreInscription>},
    {"IdConnexion", Make<CEtapeIdConnexion>},
    {"IdMail", Make<CEtapeIdMail>},
    {"Fin", Make<CEtapeFin>},
    {"InstalleQuadrel", Make<CEtapeInstalleQuadrel>},
    {"InitModem", Make<CEtapeInitModem>},
    {"LanceAppli", Make<CEtapeLanceAppli>},
    {"ParametreIE", Make<CEtapeParametreIE>},
    {"ParametreMess", Make<CEtapeParametreMess>},
    {"Icone", Make<CEtapeIcone>},
    {"BoutonRadio", Make<CEtapeBoutonRadio>},
    {"Bouton", Make<CEtapeBouton>},
    {"Etape", Make<CEtape>},
    {"RemoteAccess", Make<CEtapeRemoteAccess>},
    {"CheckDNS", Make<CEtapeCheckDNS>},
    {"CheckUser", Make<CEtapeCheckUser>},
};

const FactoryRow* FindRow(const char* name) {
    for (const FactoryRow& row : kFactoryTable) {
        if (std::strncmp(name, row.keyword, std::strlen(row.keyword)) == 0) return &row;
    }
    return nullptr;
}

}  // namespace

CEtape* CreateEtape(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                    const char* name) {
    if (const FactoryRow* row = FindRow(name)) {
        // The step's section is read once for the whole building.
        cnx::StepSectionScope section(cnx::WorkingDirectory() + "\\" + cnx::StepFileName(), name);
        return row->make(window, previous, pageRect, name);
    }
    throw CEtapeException(0, "etape inexistante : %s", name);
}

const char* StepKindKeyword(const char* name) {
    const FactoryRow* row = FindRow(name);
    return row != nullptr ? row->keyword : nullptr;
}
