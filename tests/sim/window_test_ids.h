// Resource ids of the dialogs the headless window system's tests use.
#pragma once

#define IDD_WIZARD 100
#define IDD_KIT 102
#define IDD_PLACED 103
#define IDD_CENTERED 104
#define IDD_VISIBLE 105
#define IDI_PROGRAM 128
#define IDC_BLANK 1010
#define IDC_ENTRY 1011
#define IDS_CAPTION 26
#define IDS_QUESTION 27
