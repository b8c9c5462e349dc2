// fixture_app.exe OUTPUT-FILE: a small dialog program on which the test driver is proven.
//
// It has what the real programs have: a French caption and labels with accents, an edit field
// that reports its changes, two radio buttons, a disabled check box, a hidden label, a default
// push button that asks a question in a message box and writes the answer, the typed name and
// the chosen radio button to OUTPUT-FILE (Windows-1252, CR LF), and a button that ends the
// program with exit code 7. Escape or the close box end it with exit code 2 (IDCANCEL).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "fixture_app_ids.h"

namespace {

const char* g_outputPath = "";

bool WriteAnswer(const char* answer, const char* name, const char* connection) {
    char content[512];
    const int length =
        snprintf(content, sizeof(content), "reponse=%s\r\nnom=%s\r\nconnexion=%s\r\n", answer, name,
                 connection);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(content)) return false;
    HANDLE file = CreateFileA(g_outputPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, content, static_cast<DWORD>(length), &written, nullptr) &&
                    written == static_cast<DWORD>(length);
    CloseHandle(file);
    return ok;
}

void Save(HWND dialog) {
    char name[128];
    GetDlgItemTextA(dialog, IDC_NAME, name, sizeof(name));
    char question[256];
    snprintf(question, sizeof(question),
             "Enregistrer la fiche de « %s » ?\nElle remplacera la précédente.", name);
    const int choice = MessageBoxA(dialog, question, "Question", MB_YESNO | MB_ICONQUESTION);
    const char* answer = choice == IDYES ? "oui" : "non";
    const char* connection =
        IsDlgButtonChecked(dialog, IDC_NUMERIS) == BST_CHECKED ? "numeris" : "modem";
    if (!WriteAnswer(answer, name, connection)) {
        MessageBoxA(dialog, "Impossible d'écrire le fichier de résultat.", "Erreur",
                    MB_OK | MB_ICONSTOP);
        return;
    }
    char status[64];
    snprintf(status, sizeof(status), "Fiche enregistrée (réponse : %s)", answer);
    SetDlgItemTextA(dialog, IDC_STATUS, status);
}

INT_PTR CALLBACK FixtureProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            CheckRadioButton(dialog, IDC_MODEM, IDC_NUMERIS, IDC_MODEM);
            return TRUE;  // the dialog manager focuses the first tab stop: the name field
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_NAME:
                    if (HIWORD(wParam) == EN_CHANGE) {
                        char status[64];
                        snprintf(status, sizeof(status), "Nom modifié (%d caractères)",
                                 GetWindowTextLengthA(GetDlgItem(dialog, IDC_NAME)));
                        SetDlgItemTextA(dialog, IDC_STATUS, status);
                    }
                    return TRUE;
                case IDC_SAVE:
                    Save(dialog);
                    return TRUE;
                case IDC_QUIT:
                    EndDialog(dialog, FIXTURE_QUIT_CODE);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc >= 2) g_outputPath = __argv[1];
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FIXTURE), nullptr, FixtureProc, 0));
}
