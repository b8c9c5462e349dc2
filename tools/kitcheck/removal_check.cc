#include "tools/kitcheck/removal_check.h"

#include "common/install_record.h"
#include "tools/kitcheck/kit_search.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/removal_entry.h"

namespace kitcheck {
namespace {

// A folder that stands for the installation folder, wherever the subscriber puts it.
constexpr const char* kSomeFolder = "C:\\Dossier";

void CheckStepFile(const KitPath& stepFile, Report* report) {
    IniFile file(stepFile);
    if (!file.Readable()) return;
    for (const std::string& section : file.Sections()) {
        // The connection wizard picks a step's kind by the start of its section's name.
        const char* key = nullptr;
        if (section.compare(0, 11, "Inscription") == 0) key = "TelvoraIsp";
        if (section.compare(0, 5, "Icone") == 0) key = "NomFichier";
        if (key == nullptr) continue;
        const std::string value = file.Read(section, key);
        if (value.empty()) continue;
        if (!kit::IsInsideFolder(kit::JoinPath(kSomeFolder, value), kSomeFolder)) {
            report->Warning(file.Shown(), file.KeyLine(section, key),
                            std::string(key) + " '" + value +
                                "' lies outside the installation folder: the kit's removal "
                                "leaves that file behind");
        }
    }
}

}  // namespace

void CheckRemovalNeeds(const IniFile& pakonel, const KitPath& payload,
                       const std::vector<plat::DirectoryEntry>& entries, Report* report) {
    if (pakonel.Read("General", "Titre").empty()) {
        report->Warning(pakonel.Shown(), pakonel.SectionLine("General"),
                        std::string("[General] lacks Titre: the kit's entry in Ajout/Suppression "
                                    "de programmes is then named '") +
                            kitextract::kDefaultTitle + "'");
    }
    const char* const kOwnFiles[] = {kitextract::kUninstallerName, kitextract::kLogName,
                                     kit::kRecordName, kit::kRecordNewName};
    for (const plat::DirectoryEntry& entry : entries) {
        for (const char* own : kOwnFiles) {
            if (kit::SamePath(entry.name, own)) {
                report->Error(InFolder(payload, entry.name).shown, 0,
                              "the payload holds '" + entry.name +
                                  "', a name the installation and its removal use for their "
                                  "own file: it would be overwritten and removed as theirs");
            }
        }
        if (!entry.directory && IsStepFileName(entry.name)) {
            CheckStepFile(InFolder(payload, entry.name), report);
        }
    }
}

}  // namespace kitcheck
