// The programs' resources on the simulated machine. The win32 build compiles each .rc file
// with windres; the host build embeds the same text (cmake/EmbedResources.cmake) and parses it
// here, so that the dialogs, strings and icons the programs ask for are the same on both.
//
// Understood: #define (and #pragma code_page), DIALOG and DIALOGEX with STYLE, EXSTYLE,
// CAPTION, FONT; the controls PUSHBUTTON, DEFPUSHBUTTON, LTEXT, RTEXT, CTEXT, EDITTEXT, ICON,
// GROUPBOX, CHECKBOX, AUTOCHECKBOX, RADIOBUTTON, AUTORADIOBUTTON, STATE3, AUTO3STATE, LISTBOX,
// COMBOBOX, SCROLLBAR and CONTROL; STRINGTABLE; "id ICON file" and "id BITMAP file". Other
// resources (menus, version blocks...) are skipped. Styles follow windres: each control
// keyword's default style, replaced by its base style when a style is written, NOT removing.
// Conditional preprocessor lines are ignored (every branch counts). #include lines are not
// read: the defines of the script's own headers are given as separate texts, and the
// constants of the system headers (WS_*, DS_*, BS_*, ES_*, SS_*, IDOK...) are known once the
// script includes <windows.h> (or winresrc.h, winuser.h, afxres.h...), as for windres.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/window.h"

namespace sim {

struct RcControl {
    std::string className;  // BUTTON, EDIT, STATIC... as CONTROL names it otherwise
    std::string text;       // Windows-1252
    int iconId = -1;        // ICON controls naming an icon by number
    int id = 0;
    int x = 0;  // dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    plat::Dword style = 0;
    plat::Dword exStyle = 0;
};

struct RcDialog {
    int id = 0;
    bool extended = false;  // DIALOGEX
    int x = 0;              // dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    plat::Dword style = 0;
    plat::Dword exStyle = 0;
    std::string caption;  // Windows-1252
    std::string fontFace;
    int pointSize = 0;  // 0: no FONT statement
    int fontWeight = 0;
    bool fontItalic = false;
    std::vector<RcControl> controls;
};

struct RcScript {
    std::map<int, RcDialog> dialogs;
    std::map<plat::Uint, std::string> strings;  // Windows-1252
    std::map<int, std::string> icons;           // id -> file name as written
    std::map<int, std::string> bitmaps;
};

// Parses one resource script. `headers` are texts whose #define lines count before the script's
// own (the headers the script includes). Texts are read as UTF-8 after `#pragma
// code_page(65001)` and as Windows-1252 before it, as windres does. False with a message naming
// the line on an error.
bool ParseResourceScript(const std::string& text, const std::vector<std::string>& headers,
                         RcScript* out, std::string* error);

// UTF-8 to Windows-1252; characters the code page lacks become '?'.
std::string Utf8ToCp1252(const std::string& utf8);

// Adds a script's resources to those of the running program (a resource with the same id is
// replaced). On an error the message goes to standard error and to ResourceScriptErrors(), and
// nothing of that script is added.
bool RegisterResourceScript(const char* rcText);
bool RegisterResourceScript(const char* rcText, const std::vector<std::string>& headers);
const std::vector<std::string>& ResourceScriptErrors();

// The program's resources as registered so far.
const RcDialog* FindDialogResource(int id);
const std::string* FindStringResource(plat::Uint id);
bool HasIconResource(int id);

}  // namespace sim
