#include "tools/isignup/signup_file.h"

#include "platform/files.h"
#include "platform/profile.h"

namespace isignup {
namespace {

// The sign-up program reads its fields into buffers of this size, so longer values are cut.
constexpr plat::Dword kFieldBuffer = 128;

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const char* b) {
    std::string folded;
    for (char c : a) folded += Lower(c);
    return folded == b;
}

// Digits only, with an optional sign; anything else gives the default. Large numbers stop
// growing at the limit instead of overflowing.
plat::Dword ParseDelay(const std::string& text) {
    std::string digits = Trim(text);
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.erase(0, 1);
    }
    if (digits.empty()) return kDefaultDelayMilliseconds;
    plat::Dword value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return kDefaultDelayMilliseconds;
        if (value <= kMaxDelayMilliseconds) value = value * 10 + static_cast<plat::Dword>(c - '0');
    }
    if (negative) return 0;
    return value > kMaxDelayMilliseconds ? kMaxDelayMilliseconds : value;
}

std::string ReadField(const std::string& file, const char* section, const char* key,
                      const char* defaultValue) {
    char buffer[kFieldBuffer] = {};
    plat::GetPrivateProfileString(section, key, defaultValue, buffer, sizeof buffer, file.c_str());
    return buffer;
}

}  // namespace

Outcome ParseOutcome(const std::string& text) {
    Outcome outcome;
    std::size_t comma = text.find(',');
    std::string word = Trim(text.substr(0, comma));
    outcome.createProfile = !EqualsNoCase(word, "unchanged");
    if (comma != std::string::npos) outcome.delayMilliseconds = ParseDelay(text.substr(comma + 1));
    return outcome;
}

bool SignupPathFromArguments(const std::vector<std::string>& arguments, std::string* path) {
    if (arguments.size() != 2) return false;
    *path = AbsolutePath(arguments[1]);
    return true;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    bool hasDrive = path.size() >= 2 && path[1] == ':';
    bool fromRoot = path[0] == '\\' || path[0] == '/';
    if (hasDrive || fromRoot) return path;
    char current[260] = {};
    plat::Dword length = plat::GetCurrentDirectory(sizeof current, current);
    if (length == 0 || length >= sizeof current) return path;
    std::string folder = current;
    if (folder.back() != '\\') folder += '\\';
    return folder + path;
}

bool ReadSignupFile(const std::string& path, SignupFile* out) {
    *out = SignupFile();
    if (path.empty() || !plat::CanOpenForReading(path.c_str())) return false;
    out->entryName = ReadField(path, "Entry", "Entry_Name", "");
    if (out->entryName.empty()) out->entryName = kDefaultEntryName;
    out->phoneNumber = ReadField(path, "Phone", "Phone_Number", "");
    out->userName = ReadField(path, "User", "Name", "");
    out->password = ReadField(path, "User", "Password", "");
    out->emailName = ReadField(path, "Internet_Mail", "Email_Name", "");
    out->popLogonName = ReadField(path, "Internet_Mail", "POP_Logon_Name", "");
    out->emailAddress = ReadField(path, "Internet_Mail", "Email_address", "");
    out->popLogonPassword = ReadField(path, "Internet_Mail", "POP_Logon_Password", "");
    out->outcome = ParseOutcome(ReadField(path, "StandIn", "Outcome", ""));
    return true;
}

}  // namespace isignup
