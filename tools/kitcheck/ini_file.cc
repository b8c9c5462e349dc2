#include "tools/kitcheck/ini_file.h"

#include "common/profile_access.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace kitcheck {
namespace {

// Values longer than this are far past every buffer of the programs.
constexpr std::size_t kValueCapacity = 4096;
// Room for every name of a large file.
constexpr std::size_t kListCapacity = 1 << 16;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A' || c == '\r' || c == '\n';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::vector<std::string> ListNames(const char* path, const char* section) {
    std::vector<char> buffer(kListCapacity, '\0');
    plat::Dword n = plat::GetPrivateProfileString(section, nullptr, "", buffer.data(),
                                                  static_cast<plat::Dword>(buffer.size()), path);
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < n && buffer[at] != '\0') {
        std::string name(buffer.data() + at);
        at += name.size() + 1;
        names.push_back(name);
    }
    return names;
}

}  // namespace

KitPath InFolder(const KitPath& folder, const std::string& name) {
    auto join = [&name](const std::string& base, char separator) {
        if (base.empty()) return name;
        char last = base.back();
        return (last == '/' || last == '\\') ? base + name : base + separator + name;
    };
    return KitPath{join(folder.shown, folder.shown.find('\\') != std::string::npos ? '\\' : '/'),
                   join(folder.path, '\\')};
}

std::string FoldName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        auto u = static_cast<unsigned char>(c);
        // Windows-1252: a-z, and the accented small letters but the division sign and ÿ.
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) {
            c = static_cast<char>(u - 0x20);
        }
    }
    return folded;
}

bool SameName(const std::string& a, const std::string& b) { return FoldName(a) == FoldName(b); }

bool LooksLikeUtf8(const std::string& bytes) {
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        auto c = static_cast<unsigned char>(bytes[i]);
        int follow = c < 0x80             ? 0
                     : (c & 0xE0) == 0xC0 ? 1
                     : (c & 0xF0) == 0xE0 ? 2
                     : (c & 0xF8) == 0xF0 ? 3
                                          : -1;
        if (follow < 0 || (follow == 1 && c < 0xC2)) return false;
        if (i + follow >= bytes.size() && follow > 0) return false;
        for (int k = 1; k <= follow; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        multiByte = multiByte || follow > 0;
        i += static_cast<std::size_t>(follow) + 1;
    }
    return multiByte;
}

IniFile::IniFile(const KitPath& file) : m_file(file) {
    std::string bytes;
    m_readable = plat::ReadWholeFile(file.path.c_str(), &bytes);
    if (!m_readable) return;
    // A file that starts with a byte-order mark is decoded by the platform's reader.
    m_utf8 = bytes.rfind("\xEF\xBB\xBF", 0) != 0 && kitcheck::LooksLikeUtf8(bytes);
    // The lines as the platform splits them: at CR or LF, blanks around them dropped.
    Section* current = nullptr;
    bool skipping = false;  // inside a repeated section, which the platform does not read
    int line = 1;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') continue;
        std::string text = Trim(bytes.substr(begin, i - begin));
        if (!text.empty() && text[0] == '[') {
            std::size_t close = text.rfind(']');
            std::string name = Trim(text.substr(
                1, close == std::string::npos || close == 0 ? std::string::npos : close - 1));
            skipping = Find(name) != nullptr;
            if (skipping) {
                m_repeated.push_back({name, line});
            } else {
                m_sections.push_back({FoldName(name), line, {}});
                current = &m_sections.back();
            }
        } else if (!text.empty() && current != nullptr && !skipping) {
            std::size_t equal = text.find('=');
            if (equal != std::string::npos) {
                current->keys.push_back({FoldName(Trim(text.substr(0, equal))), line});
            }
        }
        // CR LF ends one line.
        if (i < bytes.size() && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        ++line;
        begin = i + 1;
    }
}

const IniFile::Section* IniFile::Find(const std::string& section) const {
    std::string folded = FoldName(section);
    for (const Section& s : m_sections) {
        if (s.folded == folded) return &s;
    }
    return nullptr;
}

std::string IniFile::Read(const std::string& section, const std::string& key) const {
    return kit::ReadProfileString(m_file.path, section.c_str(), key.c_str(), "", kValueCapacity);
}

int IniFile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    return kit::ReadProfileInt(m_file.path, section.c_str(), key.c_str(), defaultValue);
}

std::vector<std::string> IniFile::Sections() const { return ListNames(Path(), nullptr); }

std::vector<std::string> IniFile::Keys(const std::string& section) const {
    return ListNames(Path(), section.c_str());
}

bool IniFile::HasSection(const std::string& section) const {
    for (const std::string& name : Sections()) {
        if (SameName(name, section)) return true;
    }
    return false;
}

int IniFile::SectionLine(const std::string& section) const {
    const Section* s = Find(section);
    return s != nullptr ? s->line : 0;
}

int IniFile::KeyLine(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    if (s == nullptr) return 0;
    std::string folded = FoldName(key);
    for (const Line& k : s->keys) {
        if (k.name == folded) return k.line;
    }
    return s->line;
}

}  // namespace kitcheck
