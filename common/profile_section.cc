#include "common/profile_section.h"

#include <cstdint>
#include <utility>

#include "common/profile_access.h"
#include "platform/profile.h"
#include "platform/profile_number.h"

namespace kit {
namespace {

// The most a section read returns on Windows 95/98.
constexpr plat::Dword kSectionCapacity = 32767;
// GetPrivateProfileIntA reads the value into a buffer of this many characters first.
constexpr std::size_t kIntBuffer = 30;

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAsciiName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// Only keys made of printable ASCII, without blanks, are looked up in the kept lines: for
// others the platform's own rules (blanks trimmed, accented letters folded by the code page)
// answer, by a key read.
bool KeyAnswerable(const char* key) {
    if (key == nullptr || *key == '\0' || *key == ';') return false;
    for (const char* c = key; *c != '\0'; ++c) {
        unsigned char u = static_cast<unsigned char>(*c);
        if (u <= ' ' || u >= 0x7F) return false;
    }
    return true;
}

}  // namespace

ProfileSection::ProfileSection(std::string file, std::string section)
    : file_(std::move(file)), section_(std::move(section)) {
    lines_.assign(kSectionCapacity, '\0');
    plat::Dword n = plat::GetPrivateProfileSection(section_.c_str(), &lines_[0], kSectionCapacity,
                                                   file_.c_str());
    // Nothing read (a missing file or section, which a key read answers with its own rules),
    // or a list that may have been cut: the lines are not kept.
    kept_ = n != 0 && n < kSectionCapacity - 2;
    lines_.resize(kept_ ? n : 0);
}

bool ProfileSection::Find(const char* key, bool* found, std::string_view* value) const {
    if (!kept_ || !KeyAnswerable(key)) return false;
    *found = false;
    for (std::size_t start = 0; start < lines_.size();) {
        std::string_view line(lines_.c_str() + start);
        start += line.size() + 1;
        std::size_t equals = line.find('=');
        // A line without '=' reads as missing, but it still hides a later line of its name.
        if (SameAsciiName(line.substr(0, equals), key)) {
            *found = equals != std::string_view::npos;
            if (*found) *value = line.substr(equals + 1);
            return true;
        }
    }
    return true;
}

std::string ProfileSection::ReadString(const char* key, const char* defaultValue,
                                       std::size_t capacity) const {
    bool found = false;
    std::string_view value;
    bool plainDefault = defaultValue == nullptr || *defaultValue == '\0';
    if (capacity == 0 || !Find(key, &found, &value) || (!found && !plainDefault)) {
        return ReadProfileString(file_, section_.c_str(), key, defaultValue, capacity);
    }
    return found ? ProfileValueIn(value, capacity) : std::string();
}

int ProfileSection::ReadInt(const char* key, int defaultValue) const {
    bool found = false;
    std::string_view value;
    if (!Find(key, &found, &value)) {
        return ReadProfileInt(file_, section_.c_str(), key, defaultValue);
    }
    std::string text = found ? ProfileValueIn(value, kIntBuffer) : std::string();
    if (text.empty()) return defaultValue;
    return static_cast<int>(plat::ParseProfileNumber(text));
}

std::string ProfileValueIn(std::string_view value, std::size_t size) {
    if (size == 0) return std::string();
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    if (quoted) value.remove_prefix(1);
    std::string_view text = value.substr(0, size - 1);
    // The closing quote is cut when the whole quoted text would have fitted with one more
    // byte; the character before it then goes too.
    if (quoted && size >= value.size() && !text.empty()) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace kit
