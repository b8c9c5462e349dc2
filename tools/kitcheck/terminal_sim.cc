// kitcheck on the build machines: the platform is the simulated machine, whose drive Z: is the
// host's root, and the terminal reads UTF-8.
#include <unistd.h>

#include <climits>

#include "platform/sim/machine.h"
#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/kitcheck.h"

namespace kitcheck {
namespace {

// Windows-1252 0x80 to 0x9F; the unassigned ones stay as a replacement character.
constexpr unsigned kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(unsigned code, std::string* out) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

}  // namespace

std::string ForTerminal(const std::string& text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        AppendUtf8(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte, &out);
    }
    return out;
}

std::string PlatformPath(const std::string& argument) {
    std::string host = argument;
    if (host.empty() || host[0] != '/') {
        char cwd[PATH_MAX];
        host = std::string(getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/") + "/" + host;
    }
    const sim::Machine& machine = sim::Machine::Current();
    return machine.FullPath(machine.ToWindowsPath(host));
}

}  // namespace kitcheck
