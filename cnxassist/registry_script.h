// The registry script of a step section: numbered entries (I<list><nn>.Branche, .Cle, .Nom,
// .Type, .Valeur, .RBranche, .RCle, .RNom) that write, copy or delete registry values when the
// step is first built. The version list (5, 4 or 3, from the browser version code) is applied
// first, then the common list 0. Errors leave as util_exception.
#pragma once

#include "cnxassist/etape_exception.h"
#include "common/bounded_text.h"
#include "platform/registry.h"

class CCleRegistre;

class CScriptRegistre {
  public:
    // Stores its arguments and runs the script at once.
    CScriptRegistre(int version, const char* iniPath, const char* section);

  private:
    void Run();
    void RunList(char listCharacter);
    bool ReadEntry(char listCharacter);
    void WriteEntry(CCleRegistre& target);
    void CopyEntry(CCleRegistre& target);
    void DeleteEntry(CCleRegistre& target);

    // Reads field `field` of the current entry into `out`; returns the full key name read.
    std::string ReadField(char listCharacter, const char* field, kit::FixedText<512>* out);

    kit::FixedText<512> m_iniPath;
    kit::FixedText<512> m_section;
    int m_index = 0;
    int m_action = 0;
    int m_version;
    kit::FixedText<512> m_srcKey;
    kit::FixedText<512> m_srcValue;
    kit::FixedText<512> m_dstKey;
    kit::FixedText<512> m_dstValue;
    kit::FixedText<512> m_data;
    kit::FixedText<512> m_type;
    plat::RegKey m_dstRoot = 0;
    plat::RegKey m_srcRoot = 0;
};

// The predefined root of that exact name (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA), or 0.
plat::RegKey RootKeyFromName(const char* name);
