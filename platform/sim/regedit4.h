// The REGEDIT4 text format: the registry file of the simulated machine, and the .reg files that
// seed it and a Wine prefix alike (`wine regedit /S file.reg`).
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Telvora]
//   @="default value"
//   "Texte"="C:\\Program Files\\a \"b\""
//   "Nombre"=dword:0000001f
//   "Octets"=hex:01,02,ff
//   "Chemin"=hex(2):25,57,49,4e,00
//   "Supprimee"=-
//
//   [-HKEY_CURRENT_USER\Software\Ancienne]
//
// Text is Windows-1252. A string value is written as "text" only when that gives back its bytes
// exactly (one terminator at the end, no other zero, no line break); otherwise as hex(1):, so
// byte counts survive. Long hex data is folded with ",\" as regedit does.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/registry_tree.h"

namespace sim {

struct RegScriptValue {
    std::string name;  // "" for @, the default value
    bool remove = false;
    plat::Dword type = 0;
    std::string bytes;
};

struct RegScriptSection {
    RegPath path;  // canonical root then key names
    bool remove = false;
    std::vector<RegScriptValue> values;
};

struct RegScript {
    std::vector<RegScriptSection> sections;
};

// Parses a whole file. On a malformed file, false and `error` set to "<label>:<line>: <what>".
bool ParseRegedit4(const std::string& text, const std::string& label, RegScript* script,
                   std::string* error);

// Merges a script into a tree: sections create their keys, "[-...]" deletes a key with its
// subkeys, "name"=- deletes a value. Values of a deleted section are ignored, as regedit does.
// Returns whether the tree changed.
bool ApplyRegScript(const RegScript& script, RegTree* tree);

// The whole tree as a REGEDIT4 file. Every key but the roots gets a section, so empty keys
// survive; a root gets one only when it holds values.
std::string WriteRegedit4(const RegTree& tree);

}  // namespace sim
