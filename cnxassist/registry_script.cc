#include "cnxassist/registry_script.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "cnxassist/step_section.h"
#include "cnxassist/wizard_utils.h"
#include "common/cle_registre.h"
#include "common/format_text.h"
#include "common/profile_access.h"

namespace {

constexpr std::size_t kValueCapacity = 512;

char ListCharacterForVersion(int version) {
    switch (version) {
        case 0:
            return '5';
        case 1:
            return '4';
        case 2:
            return '3';
        default:
            return '\0';  // no version list
    }
}

}  // namespace

plat::RegKey RootKeyFromName(const char* name) {
    static const struct {
        const char* name;
        plat::RegKey root;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", plat::kHkeyClassesRoot},
        {"HKEY_CURRENT_USER", plat::kHkeyCurrentUser},
        {"HKEY_LOCAL_MACHINE", plat::kHkeyLocalMachine},
        {"HKEY_USERS", plat::kHkeyUsers},
        {"HKEY_CURRENT_CONFIG", plat::kHkeyCurrentConfig},
        {"HKEY_DYN_DATA", plat::kHkeyDynData},
    };
    for (const auto& entry : kRoots) {
        if (std::strcmp(entry.name, name) == 0) return entry.root;
    }
    return 0;
}

CScriptRegistre::CScriptRegistre(int version, const char* iniPath, const char* section)
    : m_iniPath(iniPath), m_section(section), m_version(version) {
    Run();
}

void CScriptRegistre::Run() {
    char versionList = ListCharacterForVersion(m_version);
    if (versionList != '\0') RunList(versionList);
    RunList('0');
}

void CScriptRegistre::RunList(char listCharacter) {
    m_index = 0;
    while (
        ReadScriptEntry(m_iniPath.c_str(), m_section.c_str(), listCharacter, m_index, &m_entry)) {
        CCleRegistre target(m_entry.dstRoot, m_entry.dstKey.c_str(), true);
        if (!target.IsOpen()) {
            throw util_exception("impossible de construire la cle : %s", m_entry.dstKey.c_str());
        }
        switch (m_entry.action) {
            case 1:
                WriteEntry(target);
                break;
            case 2:
                CopyEntry(target);
                break;
            case 3:
                DeleteEntry(target);
                break;
        }
        ++m_index;
    }
}

namespace {

// Reads field `field` of entry `index` into `out`; returns the full key name read.
std::string ReadField(const char* iniPath, const char* section, char listCharacter, int index,
                      const char* field, kit::FixedText<512>* out) {
    char keyName[64];
    kit::FormatText(keyName, sizeof keyName, "I%c%02d.%s", listCharacter, index, field);
    out->Assign(cnx::ReadStepFileString(iniPath, section, keyName, kValueCapacity));
    return keyName;
}

}  // namespace

bool ReadScriptEntry(const char* iniPath, const char* section, char listCharacter, int index,
                     ScriptEntry* entry) {
    auto read = [&](const char* field, kit::FixedText<512>* out) {
        return ReadField(iniPath, section, listCharacter, index, field, out);
    };
    kit::FixedText<512> root;
    std::string key = read("Branche", &root);
    if (root.empty()) return false;
    entry->dstRoot = RootKeyFromName(root.c_str());
    if (entry->dstRoot == 0) throw util_exception("fichier ini, faux nom branche %s", key.c_str());

    const struct {
        const char* field;
        kit::FixedText<512>* out;
    } kRequired[] = {{"Cle", &entry->dstKey}, {"Nom", &entry->dstValue}, {"Type", &entry->type}};
    for (const auto& required : kRequired) {
        key = read(required.field, required.out);
        if (required.out->empty()) {
            throw util_exception("fichier ini, manque variable %s", key.c_str());
        }
    }
    std::string typeKey = key;

    if (entry->type.c_str()[0] == 'd') {
        entry->action = 3;
    } else {
        read("Valeur", &entry->data);
        entry->action = entry->data.empty() ? 2 : 1;
    }
    if (entry->action == 2) {
        kit::FixedText<512> sourceRoot;
        key = read("RBranche", &sourceRoot);
        if (sourceRoot.empty())
            throw util_exception("fichier ini, manque variable %s", key.c_str());
        entry->srcRoot = RootKeyFromName(sourceRoot.c_str());
        if (entry->srcRoot == 0)
            throw util_exception("fichier ini, faux nom branche %s", key.c_str());
        key = read("RCle", &entry->srcKey);
        if (entry->srcKey.empty())
            throw util_exception("fichier ini, manque variable %s", key.c_str());
        key = read("RNom", &entry->srcValue);
        if (entry->srcValue.empty())
            throw util_exception("fichier ini, manque variable %s", key.c_str());
    }

    char t0 = entry->type.c_str()[0];
    char t1 = t0 == '\0' ? '\0' : entry->type.c_str()[1];
    char letter = t0 == 'r' ? t1 : t0;
    bool valid = t0 == 'p' || t0 == 'd' || letter == 'b' || letter == 'c' || letter == 'h';
    if (!valid) throw util_exception("fichier ini, type %s invalide", typeKey.c_str());
    return true;
}

void CScriptRegistre::WriteEntry(CCleRegistre& target) {
    bool ok = true;
    switch (m_entry.type.c_str()[0]) {
        case 'c':
            ok = target.SetString(m_entry.dstValue.c_str(), m_entry.data.c_str());
            break;
        case 'h':
            ok = target.SetDword(m_entry.dstValue.c_str(),
                                 cnx::ParseHexNumber(m_entry.data.c_str()));
            break;
        case 'b': {
            std::uint8_t bytes[kValueCapacity];
            std::size_t count = sizeof bytes;
            cnx::ParseHexByteList(m_entry.data.c_str(), bytes, &count);
            ok = target.SetBinary(m_entry.dstValue.c_str(), bytes, static_cast<plat::Dword>(count));
            break;
        }
        case 'p':
            ok = target.SetString(m_entry.dstValue.c_str(),
                                  cnx::ExpandTilde(m_entry.data.str()).c_str());
            break;
        default:
            break;  // a write whose type begins with r stores nothing
    }
    if (!ok) {
        throw util_exception("impossible d'écrire la cle : %s : %s", m_entry.dstKey.c_str(),
                             m_entry.data.c_str());
    }
}

void CScriptRegistre::CopyEntry(CCleRegistre& target) {
    CCleRegistre source(m_entry.srcRoot, m_entry.srcKey.c_str(), false);
    switch (m_entry.type.c_str()[1]) {
        case 'c': {
            char text[kValueCapacity];
            if (!source.QueryString(m_entry.srcValue.c_str(), text, sizeof text) ||
                !target.SetString(m_entry.dstValue.c_str(), text)) {
                throw util_exception("impossible recopier la cle : %s ", m_entry.dstKey.c_str());
            }
            break;
        }
        case 'h': {
            plat::Dword value = 0;
            if (!source.QueryDword(m_entry.srcValue.c_str(), &value) ||
                !target.SetDword(m_entry.dstValue.c_str(), value)) {
                throw util_exception("impossible d'écrire la cle : %s", m_entry.dstKey.c_str());
            }
            break;
        }
        case 'b': {
            std::uint8_t bytes[kValueCapacity];
            plat::Dword size = sizeof bytes;
            if (!source.QueryBinary(m_entry.srcValue.c_str(), bytes, &size) ||
                !target.SetBinary(m_entry.dstValue.c_str(), bytes, size)) {
                throw util_exception("impossible d'écrire la cle : %s", m_entry.dstKey.c_str());
            }
            break;
        }
        default:
            break;  // a copy whose type does not begin with r stores nothing
    }
}

void CScriptRegistre::DeleteEntry(CCleRegistre& target) {
    // A value that is not there is deleted already; one that stays is told, as a write is.
    if (target.DeleteValue(m_entry.dstValue.c_str())) return;
    plat::Dword size = 0;  // only whether the value is there
    if (target.QueryBinary(m_entry.dstValue.c_str(), nullptr, &size)) {
        throw util_exception("impossible d'effacer la cle : %s : %s", m_entry.dstKey.c_str(),
                             m_entry.dstValue.c_str());
    }
}
