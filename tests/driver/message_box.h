// Reading and answering the message boxes of the program under test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testdrv {

struct MessageBoxContent {
    std::wstring caption;      // one-line form
    std::wstring text;         // the box's text controls joined by \n, one-line form
    std::vector<int> buttons;  // ids of the visible buttons, left to right as created
};

MessageBoxContent ReadMessageBox(HWND box);

// "IDYES" for 6 and so on; the number itself for other ids.
std::wstring ButtonName(int id);
// Accepts IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDCLOSE, IDHELP, IDTRYAGAIN,
// IDCONTINUE (case ignored, "ID" optional) or a number.
bool ParseButton(const std::wstring& word, int* id);

}  // namespace testdrv
