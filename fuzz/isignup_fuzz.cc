// The sign-up stand-in's inputs on arbitrary bytes: the first line is its command line, the rest
// its sign-up file, read on the simulated machine as the program reads them. The path keeps no
// blanks or quote pair around it and comes out absolute; every field fits the program's buffers;
// the outcome's delay stays in its range; and the window showing the connection name opens and
// goes without leaving a window behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_machine.h"
#include "platform/files.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"
#include "tools/isignup/signup_file.h"
#include "tools/isignup/signup_window.h"

namespace {

constexpr const char* kSignupFile = "C:\\KIT\\modele_0.ins";

void Check(bool condition) {
    if (!condition) std::abort();
}

const std::string& SignupFileHost() {
    static const std::string host = [] {
        sim::Machine& machine = fuzzmachine::Machine("isignup-fuzz");
        if (!plat::CreateDirectory("C:\\KIT") || !plat::SetCurrentDirectory("C:\\KIT"))
            std::abort();
        machine.SetModulePath("C:\\KIT\\ISIGNUP.EXE");
        return fuzzmachine::HostPath(kSignupFile);
    }();
    return host;
}

void CheckFile(const isignup::SignupFile& file) {
    for (const std::string* field :
         {&file.entryName, &file.phoneNumber, &file.userName, &file.password, &file.emailName,
          &file.popLogonName, &file.emailAddress, &file.popLogonPassword}) {
        Check(field->size() < 128 && field->find('\0') == std::string::npos);
    }
    Check(!file.entryName.empty());
    Check(file.outcome.delayMilliseconds <= isignup::kMaxDelayMilliseconds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string host = SignupFileHost();
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t newline = input.find('\n');
    // The command line is a C string: it ends at its first zero.
    std::string commandLine = input.substr(0, newline);
    commandLine = commandLine.substr(0, commandLine.find('\0'));
    const std::string contents = newline == std::string::npos ? "" : input.substr(newline + 1);

    const std::string path = isignup::PathFromCommandLine(commandLine.c_str());
    // The line without the blanks around it, and without one pair of quotes around that.
    std::size_t first = commandLine.find_first_not_of(" \t");
    const std::string trimmed =
        first == std::string::npos
            ? std::string()
            : commandLine.substr(first, commandLine.find_last_not_of(" \t") - first + 1);
    const bool quoted = trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"';
    Check(path == (quoted ? trimmed.substr(1, trimmed.size() - 2) : trimmed));
    const std::string absolute = isignup::AbsolutePath(path);
    Check(absolute.empty() == path.empty());
    if (!absolute.empty()) {
        bool hasDrive = absolute.size() >= 2 && absolute[1] == ':';
        bool fromRoot = absolute[0] == '\\' || absolute[0] == '/';
        Check(hasDrive || fromRoot);
        Check(absolute.size() >= path.size() &&
              absolute.compare(absolute.size() - path.size(), path.size(), path) == 0);
    }

    fuzzmachine::PutHostFile(host, contents);
    isignup::SignupFile file;
    Check(isignup::ReadSignupFile(kSignupFile, &file));
    CheckFile(file);
    // The file named by the command line, when it lies on the machine's own drive: the sign-up
    // file itself, another file, or nothing.
    if (sim::Machine::Current().FullPath(absolute).rfind("C:", 0) == 0) {
        isignup::SignupFile named;
        if (isignup::ReadSignupFile(absolute, &named)) CheckFile(named);
    }

    sim::ui::Reset();
    plat::Hwnd window = isignup::OpenSignupWindow(file.entryName);
    Check(window != plat::kNoWindow);
    plat::DestroyWindow(window);
    Check(sim::ui::TopLevelWindows().empty());
    return 0;
}
