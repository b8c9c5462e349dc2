#include "tools/kitcheck/script_check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "cnxassist/registry_script.h"

namespace kitcheck {
namespace {

// The lists the wizard applies: the browser version's (5, 4 or 3), then the common one.
constexpr const char kLists[] = {'5', '4', '3', '0'};

struct ScriptKey {
    std::string name;  // as written
    char list = 0;
    std::string digits;
    std::string field;
};

// "I<list><digits>.<field>"; false for any other key.
bool SplitScriptKey(const std::string& name, ScriptKey* key) {
    if (name.size() < 5 || name[0] != 'I') return false;
    std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot < 3) return false;
    std::string digits = name.substr(2, dot - 2);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
    *key = ScriptKey{name, name[1], digits, name.substr(dot + 1)};
    return true;
}

std::string EntryKey(char list, int index, const char* field) {
    char key[64];
    std::snprintf(key, sizeof key, "I%c%02d.%s", list, index, field);
    return key;
}

std::string EntryName(char list, int index) {
    std::string key = EntryKey(list, index, "");
    return key.substr(0, key.size() - 1);
}

bool KnownField(const std::string& field) {
    for (const char* known : kScriptFields) {
        if (SameName(field, known)) return true;
    }
    return false;
}

// The key that the wizard's message names: the word that begins with "I<list>".
std::string KeyInMessage(const std::string& message, char list) {
    const char prefix[] = {'I', list, '\0'};
    std::size_t at = message.find(prefix);
    if (at == std::string::npos) return std::string();
    std::size_t end = message.find(' ', at);
    return message.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace

void CheckRegistryScript(const IniFile& file, const std::string& section, Report* report) {
    const std::string& shown = file.Shown();
    std::map<char, int> firstUnread;  // per list, the first index the wizard does not read
    for (char list : kLists) {
        int index = 0;
        while (true) {
            ScriptEntry entry;
            try {
                if (!ReadScriptEntry(file.Path(), section.c_str(), list, index, &entry)) break;
            } catch (const util_exception& e) {
                std::string message = e.Message();
                std::string key = KeyInMessage(message, list);
                std::string what;
                if (message.find("branche") != std::string::npos) {
                    what = "'" + key + "' names no registry root ('" + file.Read(section, key) +
                           "'; the roots are HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, "
                           "HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA)";
                } else if (message.find("type") != std::string::npos) {
                    what = "'" + key + "' is no registry script type ('" + file.Read(section, key) +
                           "'; c, h, b, p, d, rc, rh or rb)";
                } else {
                    what = "registry script entry lacks '" + key + "'";
                }
                report->Error(shown, file.KeyLine(section, key),
                              what + ": the wizard stops at step " + section);
                ++index;
                continue;
            }
            std::string type = entry.type.str();
            if (entry.action == 1 && type[0] == 'r') {
                std::string key = EntryKey(list, index, "Type");
                report->Warning(shown, file.KeyLine(section, key),
                                "'" + key + "' is a copy type ('" + type +
                                    "') but the entry has a Valeur: it stores nothing");
            } else if (entry.action == 2 && type[0] != 'r') {
                std::string key = EntryKey(list, index, "Type");
                report->Warning(shown, file.KeyLine(section, key),
                                "entry " + EntryName(list, index) +
                                    " has no Valeur, so it copies, but its type '" + type +
                                    "' is no copy type (rc, rh or rb): it stores nothing");
            }
            ++index;
        }
        firstUnread[list] = index;
    }

    // Keys the reading above never reaches.
    std::map<char, bool> gapReported;
    for (const std::string& name : file.Keys(section)) {
        ScriptKey key;
        if (!SplitScriptKey(name, &key)) continue;
        int line = file.KeyLine(section, name);
        if (std::strchr("0345", key.list) == nullptr || key.list == '\0') {
            report->Warning(shown, line,
                            "'" + name +
                                "' is never read: the registry script lists are I0, I3, "
                                "I4 and I5");
            continue;
        }
        if (!KnownField(key.field)) {
            report->Warning(shown, line,
                            "'" + name +
                                "' is never read: an entry's fields are Branche, Cle, "
                                "Nom, Type, Valeur, RBranche, RCle and RNom");
            continue;
        }
        int index = std::atoi(key.digits.c_str());
        std::string expected = EntryKey(key.list, index, key.field.c_str());
        if (!SameName(expected, name)) {
            report->Warning(shown, line,
                            "'" + name + "' is never read: entry " + std::to_string(index) +
                                " of list I" + key.list + " is written '" + expected + "'");
            continue;
        }
        if (index >= firstUnread[key.list] && !gapReported[key.list]) {
            gapReported[key.list] = true;
            report->Error(shown, line,
                          "'" + name + "' is never applied: list I" + key.list + " stops where '" +
                              EntryKey(key.list, firstUnread[key.list], "Branche") +
                              "' is missing, and every entry from there on is dropped");
        }
    }
}

}  // namespace kitcheck
