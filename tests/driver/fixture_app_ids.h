// Resource ids of fixture_app, shared by its code and its dialog template.
#pragma once

#define IDD_FIXTURE 100
#define IDC_NAME_LABEL 1000
#define IDC_NAME 1001
#define IDC_MODEM 1002
#define IDC_NUMERIS 1003
#define IDC_SAVE 1004
#define IDC_QUIT 1005
#define IDC_RESERVED 1006
#define IDC_HIDDEN 1007
#define IDC_STATUS 1008

// Exit code of the "Quitter" button; Escape and the close box end with IDCANCEL (2).
#define FIXTURE_QUIT_CODE 7
