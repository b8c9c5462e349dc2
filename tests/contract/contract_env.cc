#include "tests/contract/contract_env.h"

#include <chrono>

#include "platform/files.h"
#include "platform/profile.h"

namespace contract {
namespace {

std::string UniqueSuffix() {
    static int counter = 0;
    auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(now % 1000000007) + "_" + std::to_string(++counter);
}

}  // namespace

std::string FreshFolder() {
    plat::CreateDirectory("C:\\TELVTEST");
    std::string folder = "C:\\TELVTEST\\T" + UniqueSuffix();
    plat::CreateDirectory(folder.c_str());
    return folder;
}

std::string FreshKeyPath() { return "Software\\TelvoraContract\\K" + UniqueSuffix(); }

bool ReadOnlyIsIgnored() {
    std::string path = FreshFolder() + "\\probe.txt";
    plat::WriteWholeFile(path.c_str(), "x");
    plat::SetFileAttributes(path.c_str(), plat::kFileAttributeReadOnly);
    bool ignored = plat::WriteWholeFile(path.c_str(), "y");
    plat::SetFileAttributes(path.c_str(), plat::kFileAttributeNormal);
    return ignored;
}

}  // namespace contract
