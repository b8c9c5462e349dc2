// A program of the crash test: writes registry values and INI keys of the simulated machine
// named by SIMWIN_MACHINE, without end, until it is killed. After each write has returned, it
// says so on its standard output, one line written whole with write(2):
//   "reg <slot> <sequence>" or "ini <slot> <sequence>"
// so that whatever the parent has read was written before the kill.
//   crash_writer NAME FIRST_SEQUENCE SLOTS
// Values are "<NAME>-<sequence>-" followed by a fixed padding and a closing "#", so that a
// value cut short shows; the INI file is C:\crash.ini, the registry key
// HKEY_CURRENT_USER\Software\Crash.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/profile.h"
#include "platform/registry.h"

namespace {

void Say(const std::string& line) {
    std::string text = line + "\n";
    ssize_t ignored = write(1, text.data(), text.size());
    (void)ignored;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string name = argv[1];
    long long sequence = std::atoll(argv[2]);
    const int slots = std::atoi(argv[3]);
    if (slots <= 0) return 2;
    const std::string padding(200, 'x');
    for (;; ++sequence) {
        int slot = static_cast<int>(sequence % slots);
        std::string value = name + "-" + std::to_string(sequence) + "-" + padding + "#";
        std::string valueName = name + std::to_string(slot);
        if (sequence % 2 == 0) {
            plat::RegKey key = 0;
            if (plat::RegCreateKey(plat::kHkeyCurrentUser, "Software\\Crash", &key) != 0) return 1;
            plat::Long result =
                plat::RegSetValue(key, valueName.c_str(), plat::kRegSz,
                                  reinterpret_cast<const std::uint8_t*>(value.c_str()),
                                  static_cast<plat::Dword>(value.size() + 1));
            plat::RegCloseKey(key);
            if (result != 0) return 1;
            Say("reg " + std::to_string(slot) + " " + std::to_string(sequence));
        } else {
            std::string section = "Section" + std::to_string(slot % 3);
            if (!plat::WritePrivateProfileString(section.c_str(), valueName.c_str(), value.c_str(),
                                                 "C:\\crash.ini")) {
                return 1;
            }
            Say("ini " + std::to_string(slot) + " " + std::to_string(sequence));
        }
    }
}
