#include "tools/kitextract/kit_programs.h"

#include <cctype>

#include "platform/instance.h"
#include "platform/process.h"
#include "platform/profile.h"

namespace kitextract {
namespace {

constexpr plat::Dword kSectionListCapacity = 32768;
constexpr plat::Dword kValueCapacity = 260;

std::string Lower(const std::string& text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A step file is "cfg.ini" or "cfg" + a suffix + ".ini", at the top of the kit's payload.
bool IsStepFile(const std::string& relative) {
    const std::string name = Lower(relative);
    return name.find_first_of("\\/") == std::string::npos && name.size() >= 7 &&
           name.compare(0, 3, "cfg") == 0 && name.compare(name.size() - 4, 4, ".ini") == 0;
}

void AddNamed(const std::string& destination, const std::string& name,
              std::vector<std::string>* files) {
    if (name.empty()) return;
    const std::string path = kit::JoinPath(destination, name);
    if (!kit::IsInsideFolder(path, destination)) return;
    for (const std::string& known : *files) {
        if (kit::SamePath(known, path)) return;
    }
    files->push_back(path);
}

}  // namespace

std::vector<std::string> FilesTheKitProgramsWrite(const std::string& destination,
                                                  const std::string& payload,
                                                  const std::vector<std::string>& entries) {
    std::vector<std::string> files;
    AddNamed(destination, kWorkingSignupFile, &files);
    for (const std::string& relative : entries) {
        if (!IsStepFile(relative)) continue;
        const std::string stepFile = kit::JoinPath(payload, relative);
        std::string sections(kSectionListCapacity, '\0');
        const plat::Dword length = plat::GetPrivateProfileString(
            nullptr, nullptr, "", &sections[0], kSectionListCapacity, stepFile.c_str());
        sections.resize(length);
        std::size_t start = 0;
        while (start < sections.size()) {
            std::size_t end = sections.find('\0', start);
            if (end == std::string::npos) end = sections.size();
            const std::string section = sections.substr(start, end - start);
            start = end + 1;
            // The connection wizard picks a step's kind by the start of its section's name.
            const char* key = nullptr;
            if (section.compare(0, 11, "Inscription") == 0) key = "TelvoraIsp";
            if (section.compare(0, 5, "Icone") == 0) key = "NomFichier";
            if (key == nullptr) continue;
            char value[kValueCapacity] = {};
            plat::GetPrivateProfileString(section.c_str(), key, "", value, sizeof value,
                                          stepFile.c_str());
            AddNamed(destination, value, &files);
        }
    }
    return files;
}

std::string RunningKitProgram(const std::string& espace) {
    plat::InstanceClaim claim = 0;
    if (!plat::ClaimInstance(kConnectionWizardClaim, &claim)) {
        return "l'assistant de connexion à Telvora";
    }
    plat::ReleaseInstance(claim);
    std::vector<std::string> running;
    if (!plat::ProcessSnapshot(&running)) return std::string();
    for (const std::string& program : running) {
        const std::string name = Lower(FileNameOf(program));
        if (!espace.empty() && name == Lower(FileNameOf(espace))) {
            return "l'espace abonné (" + FileNameOf(program) + ")";
        }
        if (name == kKitWizardProgram) return "l'assistant d'installation du Kit Telvora";
    }
    return std::string();
}

}  // namespace kitextract
