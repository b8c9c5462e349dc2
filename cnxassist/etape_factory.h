// Turns a section name into a step object, by the keyword the name begins with.
#pragma once

#include "cnxassist/etape.h"

// Compares the start of `name`, case-sensitively, with each keyword in order over exactly the
// keyword's length; the first match decides. No match: fatal "etape inexistante : %s".
CEtape* CreateEtape(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect,
                    const char* name);

// The keyword by which CreateEtape would build a step for `name`, or null when it would refuse
// the name. The kit checker asks this, so that it judges names as the wizard does.
const char* StepKindKeyword(const char* name);
