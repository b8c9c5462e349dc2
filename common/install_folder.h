// The installation folder the subscriber gives the kit wizard, which passes it on to the
// extraction program: both read it through these, so that they agree on the same folder.
#pragma once

#include <string>

namespace kit {

// The folder as both programs use it: blanks around it and one pair of quotes around it taken
// away, then the '\' and blanks at its end (a drive's root keeps its '\'). "C:\Telvora \ " is
// "C:\Telvora". Empty when nothing is left.
std::string NormaliseFolder(const std::string& text);

// Whether `folder` is a full path: a drive letter, ':' and '\' ("C:\..."), or a network path
// ("\\server\share...").
bool IsFullFolderPath(const std::string& folder);

}  // namespace kit
