// The registry script of a step section: numbered entries (I<list><nn>.Branche, .Cle, .Nom,
// .Type, .Valeur, .RBranche, .RCle, .RNom) that write, copy or delete registry values when the
// step is first built. The version list (5, 4 or 3, from the browser version code) is applied
// first, then the common list 0. Errors leave as util_exception.
#pragma once

#include "cnxassist/etape_exception.h"
#include "common/bounded_text.h"
#include "platform/registry.h"

class CCleRegistre;

// One entry of a registry script as the step file gives it, before anything is applied.
struct ScriptEntry {
    int action = 0;  // 1 writes, 2 copies, 3 deletes
    plat::RegKey dstRoot = 0;
    plat::RegKey srcRoot = 0;
    kit::FixedText<512> dstKey;
    kit::FixedText<512> dstValue;
    kit::FixedText<512> type;
    kit::FixedText<512> data;
    kit::FixedText<512> srcKey;
    kit::FixedText<512> srcValue;
};

// The field names an entry is made of, "I<list><nn>.<field>".
constexpr const char* kScriptFields[] = {"Branche", "Cle",      "Nom",  "Type",
                                         "Valeur",  "RBranche", "RCle", "RNom"};

// Reads entry `index` of list `listCharacter` in `section`. False when the entry has no
// "Branche": the list ends there, whatever entries follow. A bad root, a bad type or a missing
// field is a util_exception naming the key.
bool ReadScriptEntry(const char* iniPath, const char* section, char listCharacter, int index,
                     ScriptEntry* entry);

class CScriptRegistre {
  public:
    // Stores its arguments and runs the script at once.
    CScriptRegistre(int version, const char* iniPath, const char* section);

  private:
    void Run();
    void RunList(char listCharacter);
    void WriteEntry(CCleRegistre& target);
    void CopyEntry(CCleRegistre& target);
    void DeleteEntry(CCleRegistre& target);

    kit::FixedText<512> m_iniPath;
    kit::FixedText<512> m_section;
    int m_index = 0;
    int m_version;
    ScriptEntry m_entry;
};

// The predefined root of that exact name (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA), or 0.
plat::RegKey RootKeyFromName(const char* name);
