// The kit installation wizard's application object: what start-up finds out before the window
// exists (the program's directory, Pakonel.ini, the first page, the installation directory and
// the [General] values), then the wizard dialog run modally.
#pragma once

#include <string>

#include "common/bounded_text.h"
#include "platform/window.h"

// The configuration file, in the program's own directory.
constexpr const char* kIniFileName = "Pakonel.ini";

class CKitApp {
  public:
    // Start-up, then the dialog until it ends; the program then exits.
    int InitInstance();
    // Start-up up to the dialog: browser category, program directory, configuration file and
    // first page, installation directory, [General] values.
    void Start();
    // Creates the wizard dialog and runs it modally: what the dialog ended with (-1 when it
    // could not run).
    int RunDialog();

    // The internal action named by a "Proc" or "Procx" key, matched exactly (case included):
    // "SelectDir" (a folder into the entry field), "CopyFiles" (the extraction program run into
    // the entry field's folder and waited for, then the desktop shortcut to the Espace
    // program), "ExeAbonnement" and "ExeEspace" (those programs started). Any other name does
    // nothing. `dialog` is the wizard's window (its entry field, the boxes' owner), `saisie`
    // the entry field's value. False when the action failed, which the user has been told in a
    // box: the rest of the button's work must not run.
    bool RunAction(const char* action, plat::Hwnd dialog, const std::string& saisie);

    kit::FixedText<260> m_iniPath;  // empty when Pakonel.ini cannot be opened
    kit::FixedText<64> m_startSection;
    kit::FixedText<260> m_programDir;  // ends with a backslash
    kit::FixedText<260> m_installDir;  // ends with a backslash at start-up
    kit::FixedText<260> m_command;     // the last command line a button key started
    kit::FixedText<260> m_extractible;
    kit::FixedText<260> m_abonnement;
    kit::FixedText<260> m_espace;       // the Espace program; its full path after CopyFiles
    kit::FixedText<260> m_espaceValue;  // [General] "Espace" as read, relative to the folder
    kit::FixedText<64> m_raccEspace;

  private:
    bool SelectDir(plat::Hwnd dialog);
    bool CopyFiles(plat::Hwnd dialog, const std::string& saisie);
    bool ExeAbonnement(plat::Hwnd dialog, const std::string& saisie);
};

// The first page for a browser category: "NOIE" without a browser, "IE3" up to version 3.02,
// "IE45" for versions 4 and 5.
const char* StartSectionOf(int category);
