// Resource ids of the connection wizard, shared by its .rc file and its code.
#pragma once

#define IDD_ASSISTANT 101
#define ID_PRECEDENT 1063
#define ID_SUIVANT 1064
#define ID_QUITTER 1065
#define IDS_CAPTION 26
#define IDS_QUIT_QUESTION 27
#define IDS_CANNOT_CONTINUE 28
