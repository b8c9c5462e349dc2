// bare_dialog.exe: the reference of first_paint.exe, a dialog with a text and a button made
// from an in-memory template by the bare Win32 API: what any program pays to show a window.
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// Appends a 16-bit text (ASCII only) to a dialog template.
void AppendText(std::vector<WORD>* words, const char* text) {
    for (; *text != '\0'; ++text) words->push_back(static_cast<WORD>(*text));
    words->push_back(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE header = {};
    header.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header.cdit = 1;
    header.cx = 337;
    header.cy = 248;
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    AppendText(&words, "Dialogue nu");
    words.push_back(8);
    AppendText(&words, "MS Sans Serif");
    while (words.size() % 2 != 0) words.push_back(0);  // items start on a DWORD
    DLGITEMTEMPLATE item = {};
    item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    item.x = 287;
    item.y = 226;
    item.cx = 43;
    item.cy = 14;
    item.id = IDOK;
    std::size_t at = words.size();
    words.resize(at + sizeof item / sizeof(WORD));
    std::memcpy(words.data() + at, &item, sizeof item);
    words.push_back(0xFFFF);
    words.push_back(0x0080);  // the Button class
    AppendText(&words, "Quitter");
    words.push_back(0);  // no creation data
    return static_cast<int>(DialogBoxIndirectA(
        instance, reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), nullptr, DialogProc));
}
