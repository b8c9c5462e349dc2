// Resource ids of the kit installation wizard, shared by its .rc file and its code.
#pragma once

#define IDD_KITASSIST 102
#define IDI_KITASSIST 128
// Quitter and Annuler are the dialog's own OK (1) and Cancel (2) commands.
#define ID_SUIVANT 1000
#define ID_PRECEDENT 1001
#define ID_INFO1 1002
#define ID_INFO2 1003
#define ID_BLANK 1010
#define ID_SAISIE 1011
