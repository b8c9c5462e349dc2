// What a button does: the programs its keys name, its internal actions, the wizard's end and
// the next page.
#include <string>

#include "common/bounded_text.h"
#include "common/split_path.h"
#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

constexpr std::size_t kKeyValueCapacity = 128;
constexpr int kLastExeNumber = 99;

}  // namespace

std::string QuotedIfBlank(const std::string& path) {
    return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

bool CKitDialog::ResolveCommand(const char* value, const char* baseDir, char* out,
                                std::size_t capacity) {
    const std::string text = value != nullptr ? value : "";
    std::string command;
    if (text.size() >= 2 && (text[1] == ':' || text[1] == '\\')) {
        command = text;  // an absolute or network path, arguments allowed
    } else if (!text.empty() && text[0] == '?') {
        command = text.substr(1);  // a command line used as it is
    } else {
        std::string directory = baseDir != nullptr ? baseDir : "";
        if (directory.empty()) {
            char modulePath[1024] = {};
            char name[1024];
            char own[260];
            plat::GetModuleFileName(modulePath, sizeof modulePath);
            kit::SplitPath(modulePath, own, sizeof own, name, sizeof name);
            directory = own;
        }
        // The quotes take in the whole value: a relative value carries no arguments.
        const std::string path = directory + text;
        command = QuotedIfBlank(path);
    }
    kit::CopyCut(out, capacity, command);
    return command.size() < capacity;
}

void CKitDialog::StartCommand(const char* value) {
    const bool fits = ResolveCommand(value, m_app.m_programDir.c_str(), m_app.m_command.data(),
                                     m_app.m_command.capacity());
    // A cut command line would start some other program, or this one with other arguments.
    if (fits) plat::WinExec(m_app.m_command.c_str(), plat::kSwShowDefault);
}

bool CKitDialog::RunButton(const char* keyName) {
    if (m_app.m_iniPath.empty()) {
        m_app.m_command = "";
        return false;
    }
    const std::string name = keyName;
    for (int n = 1; n <= kLastExeNumber; ++n) {
        const std::string value =
            ReadKey(("Exe" + std::to_string(n) + name).c_str(), kKeyValueCapacity);
        if (!value.empty()) StartCommand(value.c_str());
    }
    const std::string proc = ReadKey(("Proc" + name).c_str(), kKeyValueCapacity);
    if (!proc.empty()) m_app.RunAction(proc.c_str(), *this);
    const std::string procx = ReadKey(("Procx" + name).c_str(), kKeyValueCapacity);
    if (!procx.empty()) {
        m_app.RunAction(procx.c_str(), *this);
        EndAsWithOk();
    }
    const std::string exe = ReadKey(("Exe" + name).c_str(), kKeyValueCapacity);
    if (!exe.empty()) {
        StartCommand(exe.c_str());
        EndAsWithOk();
    }
    const std::string section = ReadKey(("Section" + name).c_str(), kKeyValueCapacity);
    if (section.empty()) return false;
    m_section = section;
    m_pageIsNew = true;
    return true;
}
