// What a button does: the programs its keys name, its internal actions, the wizard's end and
// the next page.
#include <string>

#include "common/bounded_text.h"
#include "common/split_path.h"
#include "kitassist/kit_actions.h"
#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "platform/files.h"

namespace {

constexpr std::size_t kKeyValueCapacity = 128;
constexpr int kLastExeNumber = 99;

}  // namespace

bool CKitDialog::ResolveCommand(const char* value, const char* baseDir, char* out,
                                std::size_t capacity) {
    std::string directory = baseDir != nullptr ? baseDir : "";
    if (directory.empty()) {
        char modulePath[1024] = {};
        char name[1024];
        char own[260];
        plat::GetModuleFileName(modulePath, sizeof modulePath);
        kit::SplitPath(modulePath, own, sizeof own, name, sizeof name);
        directory = own;
    }
    const std::string command = CommandForValue(value != nullptr ? value : "", directory);
    kit::CopyCut(out, capacity, command);
    return command.size() < capacity;
}

bool CKitDialog::StartCommand(const char* value) {
    const bool fits = ResolveCommand(value, m_app.m_programDir.c_str(), m_app.m_command.data(),
                                     m_app.m_command.capacity());
    // A cut command line would start some other program, or this one with other arguments.
    if (!fits) {
        SayCommandTooLong(m_hwnd, m_app.m_command.str());
        return false;
    }
    return StartProgramOrSay(m_hwnd, m_app.m_command.str());
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
    // A numbered program that does not start is only told; what follows depends on the
    // actions and the last program, which must have worked before the wizard closes or moves on.
    const std::string proc = ReadKey(("Proc" + name).c_str(), kKeyValueCapacity);
    if (!proc.empty() && !m_app.RunAction(proc.c_str(), m_hwnd, m_saisie)) return false;
    const std::string procx = ReadKey(("Procx" + name).c_str(), kKeyValueCapacity);
    if (!procx.empty()) {
        if (!m_app.RunAction(procx.c_str(), m_hwnd, m_saisie)) return false;
        EndAsWithOk();
    }
    const std::string exe = ReadKey(("Exe" + name).c_str(), kKeyValueCapacity);
    if (!exe.empty()) {
        if (!StartCommand(exe.c_str())) return false;
        EndAsWithOk();
    }
    const std::string section = ReadKey(("Section" + name).c_str(), kKeyValueCapacity);
    if (section.empty()) return false;
    GoToSection(section);
    return true;
}

void CKitDialog::GoToSection(const std::string& section) {
    m_section = section;
    m_pageIsNew = true;
}
