// The sign-up stand-in's inputs on arbitrary bytes: the first line is its command line, the rest
// its sign-up file, read on the simulated machine as the program reads them. The path is taken
// only from exactly one argument and comes out absolute; every field fits the program's buffers;
// the outcome's delay stays in its range; and the window showing the connection name opens and
// goes without leaving a window behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_machine.h"
#include "platform/files.h"
#include "platform/sim/command_line.h"
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

    // The arguments as the program's C runtime splits its command line.
    const std::vector<std::string> arguments = sim::SplitCommandLine("ISIGNUP.EXE " + commandLine);
    std::string path;
    const bool taken = isignup::SignupPathFromArguments(arguments, &path);
    Check(taken == (arguments.size() == 2));
    const std::string absolute = taken ? path : std::string();
    if (taken && !arguments[1].empty()) {
        bool hasDrive = absolute.size() >= 2 && absolute[1] == ':';
        bool fromRoot = absolute[0] == '\\' || absolute[0] == '/';
        Check(hasDrive || fromRoot);
        Check(absolute.size() >= arguments[1].size() &&
              absolute.compare(absolute.size() - arguments[1].size(), arguments[1].size(),
                               arguments[1]) == 0);
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
