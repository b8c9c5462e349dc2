#include "tests/contract/contract_env.h"

#include <chrono>
#include <cstdio>

#include "platform/files.h"
#include "platform/profile.h"

namespace contract {
namespace {

// Eight hexadecimal digits, so that a folder name is already in 8.3 form.
std::string UniqueSuffix() {
    static unsigned counter = 0;
    auto now = static_cast<unsigned long long>(
        std::chrono::system_clock::now().time_since_epoch().count());
    char text[16];
    std::snprintf(text, sizeof text, "%08X",
                  static_cast<unsigned>((now * 2654435761ULL + ++counter) & 0xFFFFFFFFu));
    return text;
}

}  // namespace

std::string FreshFolder() {
    plat::CreateDirectory("C:\\TELVTEST");
    std::string folder = "C:\\TELVTEST\\" + UniqueSuffix();
    plat::CreateDirectory(folder.c_str());
    return folder;
}

std::string FreshKeyPath() { return "Software\\TelvoraContract\\K" + UniqueSuffix(); }

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return text;
}

}  // namespace contract
