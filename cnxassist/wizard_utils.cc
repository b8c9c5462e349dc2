#include "cnxassist/wizard_utils.h"

#include <vector>

#include "common/bounded_text.h"
#include "common/cle_registre.h"
#include "platform/files.h"

namespace cnx {
namespace {

constexpr std::size_t kValueCapacity = 512;

std::string& CapturedDirectory() {
    static std::string directory;
    return directory;
}

std::vector<std::string> SplitCommaList(const char* text) {
    std::string copy = kit::CutToCapacity(text == nullptr ? "" : text, kValueCapacity);
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= copy.size()) {
        std::size_t comma = copy.find(',', start);
        if (comma == std::string::npos) comma = copy.size();
        if (comma > start) items.push_back(copy.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

const std::string& WorkingDirectory() {
    std::string& directory = CapturedDirectory();
    if (directory.empty()) {
        char buffer[260];
        plat::Dword n = plat::GetCurrentDirectory(sizeof buffer, buffer);
        if (n > 0 && n < sizeof buffer) directory.assign(buffer, n);
    }
    return directory;
}

void ForgetWorkingDirectory() { CapturedDirectory().clear(); }

bool GetListItem(const char* text, int n, std::string* out) {
    std::vector<std::string> items = SplitCommaList(text);
    if (n < 1 || static_cast<std::size_t>(n) > items.size()) return false;
    *out = items[static_cast<std::size_t>(n - 1)];
    return true;
}

std::uint32_t ParseHexNumber(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
    std::uint32_t value = 0;
    for (; HexDigit(*p) >= 0; ++p) value = value * 16 + static_cast<std::uint32_t>(HexDigit(*p));
    return value;
}

void ParseHexByteList(const char* text, std::uint8_t* out, std::size_t* count) {
    std::size_t stored = 0;
    for (const std::string& item : SplitCommaList(text)) {
        if (stored >= *count) break;
        out[stored++] = static_cast<std::uint8_t>(ParseHexNumber(item.c_str()) & 0xFF);
    }
    *count = stored;
}

std::string ExpandTilde(const std::string& text) {
    std::string copy = kit::CutToCapacity(text, kValueCapacity);
    std::size_t tilde = copy.find('~');
    // A "~" further on belongs to the path itself, as in the short name C:\PROGRA~1.
    if (tilde != 0) return copy;
    std::size_t second = copy.find('~', 1);
    std::string rest = copy.substr(1, second == std::string::npos ? std::string::npos : second - 1);
    return kit::CutToCapacity(WorkingDirectory() + rest, kValueCapacity);
}

std::string ReadRegistryText(plat::RegKey root, const char* key, const char* value,
                             std::size_t capacity) {
    CCleRegistre registryKey(root, key, false);
    std::string buffer(capacity, '\0');
    if (!registryKey.QueryString(value, &buffer[0], static_cast<plat::Dword>(capacity))) {
        return std::string();
    }
    return std::string(buffer.c_str());
}

void ClearReadOnly(const std::string& path) {
    plat::Dword attributes = plat::GetFileAttributes(path.c_str());
    if (attributes == plat::kInvalidFileAttributes) return;
    plat::SetFileAttributes(path.c_str(), attributes & ~plat::kFileAttributeReadOnly);
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace cnx
