// The private-profile functions of the simulated machine. They follow the platform's rules to
// the byte, the odd ones included, because the programs were written against them:
// - a value in matching quotes (single or double) loses them, but needs a byte more than its
//   text: in a buffer of exactly the text's size, its last character is cut too;
// - a missing key yields the default without its trailing spaces and, when the file could be
//   opened, without its quotes; the default of a key list keeps its spaces, loses its quotes;
// - a cut value returns size - 1; a cut key or section list returns size - 2 and its last name
//   ends with a single zero; a list exactly as long as the buffer still counts as cut;
// - a key list without any listable name (or whose first name is empty) yields the default.
// Names are compared without regard to case with the Windows-1252 rules; the platform's own
// implementation under Wine folds only ASCII letters, where Windows folds accented ones too.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "platform/profile_number.h"
#include "platform/sim/fault_switch.h"
#include "platform/sim/ini_cache.h"
#include "platform/sim/ini_document.h"
#include "platform/sim/machine.h"

namespace plat {
namespace {

// A file name without any folder designates a file in the Windows directory; "C:x.ini" is
// relative to drive C's current directory, not a bare name.
std::string WindowsPathOf(const char* file) {
    const sim::Machine& machine = sim::Machine::Current();
    if (file == nullptr) return machine.WindowsDirectory() + "\\WIN.INI";
    bool bare = std::strpbrk(file, "\\/") == nullptr && !(file[0] != '\0' && file[1] == ':');
    if (bare) return machine.WindowsDirectory() + "\\" + file;
    return file;
}

// The files this thread used last and the cache slots their names led to. Turning a Windows
// name into a host path means matching every folder without regard to case, a few system calls
// each; a program reading hundreds of keys in a row must not pay that every time. A name means
// the same file as long as the machine and its current directory stay the same, and its file
// is found again by name whenever it is missing.
class RecentFiles {
  public:
    sim::IniCache::Slot* Find(const char* file, const sim::Machine& machine) const {
        for (const Recent& recent : recent_) {
            if (Matches(recent, file, machine)) return recent.slot;
        }
        return nullptr;
    }
    void Store(const char* file, const sim::Machine& machine, sim::IniCache::Slot* slot) {
        for (Recent& recent : recent_) {
            if (Matches(recent, file, machine)) {
                recent.slot = slot;
                return;
            }
        }
        Recent& recent = recent_[next_];
        next_ = (next_ + 1) % recent_.size();
        recent.isNull = file == nullptr;
        recent.file = file == nullptr ? "" : file;
        recent.folder = machine.Folder();
        recent.currentDirectory = machine.CurrentDirectory();
        recent.slot = slot;
    }

  private:
    struct Recent {
        bool isNull = false;  // the name of the system's own WIN.INI
        std::string file;
        std::string folder;
        std::string currentDirectory;
        sim::IniCache::Slot* slot = nullptr;
    };
    static bool Matches(const Recent& recent, const char* file, const sim::Machine& machine) {
        return recent.slot != nullptr && recent.isNull == (file == nullptr) &&
               (file == nullptr || recent.file == file) && recent.folder == machine.Folder() &&
               recent.currentDirectory == machine.CurrentDirectory();
    }

    std::array<Recent, 8> recent_;
    size_t next_ = 0;
};

sim::IniCache::Slot* ResolveSlot(const char* file, const sim::Machine& machine) {
    std::string hostPath;
    if (!machine.ToHostPath(WindowsPathOf(file), &hostPath)) return nullptr;
    return sim::IniCache::Instance().SlotFor(hostPath);
}

// The parsed file `file` designates, and its cache slot for writes. False when the name
// cannot designate a file of the machine.
bool OpenProfile(const char* file, sim::IniCache::Slot** slot,
                 std::shared_ptr<const sim::IniDocument>* document, sim::IniFileState* state) {
    if (file != nullptr && *file == '\0') return false;
    static thread_local RecentFiles recentFiles;
    const sim::Machine& machine = sim::Machine::Current();
    *slot = recentFiles.Find(file, machine);
    bool remembered = *slot != nullptr;
    if (!remembered) {
        *slot = ResolveSlot(file, machine);
        if (*slot == nullptr) return false;
        recentFiles.Store(file, machine, *slot);
    }
    *document = sim::IniCache::Instance().Get(*slot, state);
    if (remembered && *state != sim::IniFileState::kParsed) {
        // The file may have appeared under another letter case, or a folder on its way.
        sim::IniCache::Slot* fresh = ResolveSlot(file, machine);
        if (fresh == nullptr) return false;
        if (fresh != *slot) {
            *slot = fresh;
            recentFiles.Store(file, machine, fresh);
            *document = sim::IniCache::Instance().Get(*slot, state);
        }
    }
    return true;
}

// The default of a key lookup: trailing spaces dropped, but one kept when it is all spaces.
std::string_view TrimDefault(const char* defaultValue) {
    std::string_view text = defaultValue == nullptr ? "" : defaultValue;
    size_t end = text.size();
    while (end > 1 && text[end - 1] == ' ') --end;
    return text.substr(0, end);
}

// The part of a value that fits in `size` bytes, matching quotes at both ends removed.
std::string_view CopyValue(std::string_view value, Dword size) {
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    if (quoted) value.remove_prefix(1);
    std::string_view text = value.substr(0, size - 1);
    // The closing quote is cut when the whole quoted text would have fitted with one more
    // byte; the character before it then goes too.
    if (quoted && size >= value.size() && !text.empty()) text.remove_suffix(1);
    return text;
}

std::string_view CopyPlain(std::string_view text, Dword size) { return text.substr(0, size - 1); }

// The names of the named sections, duplicates included, each ended by a zero.
std::string ListSectionNames(const sim::IniDocument& document, Dword size) {
    std::string out;
    if (size == 1) return out;
    Dword room = size - 1;
    for (const sim::IniSection& section : document.Sections()) {
        if (section.name.empty()) continue;
        Dword needed = static_cast<Dword>(section.name.size()) + 1;
        if (needed >= room) {
            out.append(section.name, 0, room - 1);
            out += '\0';
            out.resize(size - 2);
            return out;
        }
        out += section.name;
        out += '\0';
        room -= needed;
    }
    return out;
}

// The names of the section's entries, duplicates included, each ended by a zero; lines without
// '=' and comments are left out.
std::string ListKeys(const sim::IniSection& section, Dword size) {
    std::string out;
    // Too small for any name: the caller falls back on the default.
    if (size <= 2) return out;
    Dword room = size;
    for (const sim::IniEntry& entry : section.entries) {
        if (room <= 2) break;
        if (!entry.hasValue || (!entry.name.empty() && entry.name[0] == ';')) continue;
        std::string_view name(entry.name);
        name = name.substr(0, room - 2);
        out += name;
        out += '\0';
        room -= static_cast<Dword>(name.size()) + 1;
        if (room < 2) break;
    }
    if (room <= 1) out.resize(size - 2);
    return out;
}

// What a read leaves in the caller's buffer: the bytes returned and one zero after them (the
// names of a list carry their own zeros); their count is the function's return value. They
// live in `*list`, in `*document` or in the caller's default.
std::string_view ReadText(const char* section, const char* key, const char* defaultValue,
                          Dword size, const char* file, std::string* list,
                          std::shared_ptr<const sim::IniDocument>* document) {
    sim::IniCache::Slot* slot = nullptr;
    sim::IniFileState state = sim::IniFileState::kUnreadable;
    bool opened =
        OpenProfile(file, &slot, document, &state) && state != sim::IniFileState::kUnreadable;
    if (section == nullptr) {
        if (opened) *list = ListSectionNames(**document, size);
        return *list;
    }
    if (key == nullptr) {
        if (opened) {
            if (const sim::IniSection* found = (*document)->FindSection(section)) {
                *list = ListKeys(*found, size);
            }
        }
        if (list->empty() || (*list)[0] == '\0') {
            return CopyValue(defaultValue == nullptr ? "" : defaultValue, size);
        }
        return *list;
    }
    std::string_view fallback = TrimDefault(defaultValue);
    if (!opened) return CopyPlain(fallback, size);
    const sim::IniSection* found = (*document)->FindSection(sim::TrimIniBlanks(section));
    const sim::IniEntry* entry =
        found == nullptr ? nullptr : (*document)->FindEntry(*found, sim::TrimIniBlanks(key));
    if (entry != nullptr && entry->hasValue) return CopyValue(entry->value, size);
    return CopyValue(fallback, size);
}

bool Write(const char* section, const char* key, const char* value, const char* file) {
    if (section == nullptr) return false;
    sim::IniCache::Slot* slot = nullptr;
    std::shared_ptr<const sim::IniDocument> document;
    sim::IniFileState state;
    if (!OpenProfile(file, &slot, &document, &state)) return false;
    document.reset();
    // A write that fails leaves the file as it was, as a full disk does.
    if (sim::FaultHere(sim::FaultKind::kWrite, file != nullptr ? file : "WIN.INI")) return false;
    auto result = sim::IniCache::Instance().Modify(slot, [&](sim::IniDocument& edited) {
        if (key == nullptr) return edited.DeleteSection(section);
        if (value == nullptr) return edited.DeleteEntry(section, key);
        return edited.SetValue(section, key, value);
    });
    return result != sim::IniWriteResult::kFailed;
}

}  // namespace

Dword GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, Dword size, const char* file) {
    if (buffer == nullptr || size == 0) return 0;
    std::string list;
    std::shared_ptr<const sim::IniDocument> document;
    std::string_view text = ReadText(section, key, defaultValue, size, file, &list, &document);
    // Never more than size - 1 bytes and the zero, whatever the rules above produced.
    if (text.size() > size - 1) text = text.substr(0, size - 1);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<Dword>(text.size());
}

namespace {

// The section's entries as a section read lists them: "name=value" or a bare name, each ended
// by a zero; comments (and the blank lines, which the document drops) left out.
std::string SectionLines(const sim::IniSection& section) {
    std::string out;
    for (const sim::IniEntry& entry : section.entries) {
        if (!entry.name.empty() && entry.name[0] == ';') continue;
        if (entry.name.empty() && !entry.hasValue) continue;
        out += entry.name;
        if (entry.hasValue) out += '=' + entry.value;
        out += '\0';
    }
    return out;
}

}  // namespace

Dword GetPrivateProfileSection(const char* section, char* buffer, Dword size, const char* file) {
    if (section == nullptr || buffer == nullptr || size == 0) return 0;
    std::string lines;
    sim::IniCache::Slot* slot = nullptr;
    std::shared_ptr<const sim::IniDocument> document;
    sim::IniFileState state = sim::IniFileState::kUnreadable;
    // The section's name is compared as given, blanks included, as for a key list.
    if (OpenProfile(file, &slot, &document, &state) && state != sim::IniFileState::kUnreadable) {
        if (const sim::IniSection* found = document->FindSection(section)) {
            lines = SectionLines(*found);
        }
    }
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    if (lines.size() + 2 <= size || (lines.empty() && size >= 2)) {
        std::memcpy(buffer, lines.data(), lines.size());
        buffer[lines.size()] = '\0';
        if (lines.empty()) buffer[1] = '\0';
        return static_cast<Dword>(lines.size());
    }
    // Cut: the list's first size - 2 bytes and two zeros.
    std::memcpy(buffer, lines.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

unsigned GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* file) {
    // The platform reads the value into a 30-character buffer first.
    std::string list;
    std::shared_ptr<const sim::IniDocument> document;
    std::string_view text = ReadText(section, key, "", 30, file, &list, &document);
    text = text.substr(0, text.find('\0'));
    if (text.empty()) return static_cast<unsigned>(defaultValue);
    return plat::ParseProfileNumber(text);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file) {
    return Write(section, key, value, file);
}

bool WriteProfileString(const char* section, const char* key, const char* value) {
    return Write(section, key, value, nullptr);
}

}  // namespace plat
