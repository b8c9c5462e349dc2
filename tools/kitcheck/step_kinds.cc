#include "tools/kitcheck/step_kinds.h"

#include <cstdlib>
#include <cstring>

#include "cnxassist/etape.h"
#include "cnxassist/etape_choix.h"
#include "cnxassist/etape_factory.h"
#include "cnxassist/wizard_utils.h"
#include "platform/files.h"

namespace kitcheck {
namespace {

bool Never(const IniFile&, const std::string&) { return false; }
bool Always(const IniFile&, const std::string&) { return true; }
// FinConfig other than 0 makes the application step the last one.
bool LaunchEnds(const IniFile& file, const std::string& section) {
    return file.ReadInt(section, "FinConfig", 0) != 0;
}

int Plain(int) { return 0; }
int RemoteAccessBranches(int) { return 2; }
// With no radio of the first ones checked the step takes the item after them; with none at all
// (NbBoutons 0) that is item 1.
int RadioChoices(int count) { return count < 0 ? -1 : count == 0 ? 1 : count; }
int ButtonChoices(int count) { return count <= 0 ? -1 : count; }

void NoExtra(const IniFile&, const KitPath&, const std::string&, Report*) {}

void CheckButtons(const IniFile& file, const KitPath&, const std::string& section, Report* report) {
    std::string text = file.Read(section, "NbBoutons");
    if (!text.empty() && file.ReadInt(section, "NbBoutons", -1) == 0) {
        report->Error(file.Shown(), file.KeyLine(section, "NbBoutons"),
                      "NbBoutons is 0 on step " + section +
                          ": no page button leads anywhere, the user can only quit");
    }
}

void CheckLaunch(const IniFile& file, const KitPath& folder, const std::string& section,
                 Report* report) {
    std::string name = file.Read(section, "NomApplication");
    // PathAppRech 1 (the default) takes the program from the registry, which kitcheck cannot
    // see; otherwise it is NAME.EXE of the working directory.
    if (name.empty() || name.size() >= kStepFieldCapacity ||
        file.ReadInt(section, "PathAppRech", 1) == 1) {
        return;
    }
    std::string program = cnx::UpperCase(name) + ".EXE";
    KitPath path = InFolder(folder, program);
    if (!plat::CanOpenForReading(path.path.c_str())) {
        report->Error(file.Shown(), file.KeyLine(section, "NomApplication"),
                      "'" + program + "', which step " + section + " starts, is not in the kit (" +
                          path.shown + "): the wizard stops there");
    }
}

void CheckSignupModel(const IniFile& file, const KitPath& folder, const std::string& section,
                      Report* report) {
    KitPath model = InFolder(folder, "modele.ins");
    if (!plat::CanOpenForReading(model.path.c_str())) {
        report->Error(file.Shown(), file.SectionLine(section),
                      "step " + section + " copies modele.ins, which is not in the kit (" +
                          model.shown + ")");
    }
}

void CheckIcons(const IniFile& file, const KitPath&, const std::string& section, Report* report) {
    for (int n = 0; n < 50; ++n) {
        std::string key = "Icone" + std::to_string(n);
        std::string text = file.Read(section, key);
        if (text.empty()) continue;
        int value = file.ReadInt(section, key, -1);
        if (value != 0 && value != 1) {
            report->Warning(file.Shown(), file.KeyLine(section, key),
                            key + " is '" + text + "': only 1 (on) and 0 (off) change the icon");
        }
    }
    for (const std::string& key : file.Keys(section)) {
        if (key.size() > 5 && SameName(key.substr(0, 5), "Icone")) {
            int n = std::atoi(key.c_str() + 5);
            if (n >= 50 || key.find_first_not_of("0123456789", 5) != std::string::npos) {
                report->Warning(file.Shown(), file.KeyLine(section, key),
                                key + " is never read: the icons are Icone0 to Icone49");
            }
        }
    }
}

std::vector<StepKind> MakeKinds() {
    using K = KindKey;
    const int kMaxChoices = CEtapeChoix::kMaxChoices;
    // Fields are numbered on from the first control id and must stay within the 16-bit ids.
    const int kMaxFields = kLastControlId + 1 - kFirstControlId;
    const char* kFields = "saisie";
    return {
        {"IdentWindow",
         {{"Message", 128, true, false, K::kNoFile},
          {"RelativePath", 256, false, false, K::kNoFile}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         false,
         Never,
         Plain,
         NoExtra},
        {"Inscription",
         {{"TelvoraIsp", 128, true, false, K::kFileInKit}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         false,
         Never,
         Plain,
         NoExtra},
        {"DejaAbonne", {}, nullptr, 0, nullptr, 0, "", false, Never, Plain, NoExtra},
        {"PreInscription",
         {},
         nullptr,
         0,
         kFields,
         1,
         "the step reads only field 1",
         true,
         Never,
         Plain,
         NoExtra},
        {"IdConnexion",
         {},
         "NbSaisies",
         kMaxFields,
         kFields,
         3,
         "the step reads fields 1 to 3",
         true,
         Never,
         Plain,
         CheckSignupModel},
        {"IdMail",
         {},
         "NbSaisies",
         kMaxFields,
         kFields,
         2,
         "the step reads fields 1 and 2",
         true,
         Never,
         Plain,
         NoExtra},
        {"Fin", {}, nullptr, 0, nullptr, 0, "", false, Always, Plain, NoExtra},
        {"InstalleQuadrel",
         {{"NomExe", 128, true, true, K::kFileInKit}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         false,
         Never,
         Plain,
         NoExtra},
        {"InitModem", {}, nullptr, 0, nullptr, 0, "", false, Never, Plain, NoExtra},
        {"LanceAppli",
         {{"NomApplication", 128, true, true, K::kNoFile},
          {"NomPage", 128, false, true, K::kNoFile}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         false,
         LaunchEnds,
         Plain,
         CheckLaunch},
        {"ParametreIE", {}, nullptr, 0, nullptr, 0, "", false, Never, Plain, NoExtra},
        {"ParametreMess", {}, nullptr, 0, nullptr, 0, "", false, Never, Plain, NoExtra},
        {"Icone",
         {{"NomFichier", 260, true, true, K::kNoFile},
          {"NomVariable", 260, true, true, K::kNoFile}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         false,
         Never,
         Plain,
         CheckIcons},
        {"BoutonRadio",
         {},
         "NbBoutons",
         kMaxChoices,
         "radio",
         -1,
         "checking it leads to the choice after NbBoutons",
         true,
         Never,
         RadioChoices,
         NoExtra},
        {"Bouton",
         {},
         "NbBoutons",
         kMaxChoices,
         "bouton",
         -1,
         "clicking it does nothing",
         false,
         Never,
         ButtonChoices,
         CheckButtons},
        {"Etape", {}, nullptr, 0, nullptr, 0, "", true, Never, Plain, NoExtra},
        {"RemoteAccess",
         {{"NomATester", 256, true, false, K::kNoFile}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         false,
         Never,
         RemoteAccessBranches,
         NoExtra},
        {"CheckDNS",
         {{"Domain", 128, false, false, K::kNoFile}, {"Serveur", 128, false, false, K::kNoFile}},
         nullptr,
         0,
         nullptr,
         0,
         "",
         true,
         Never,
         Plain,
         NoExtra},
        {"CheckUser", {}, nullptr, 0, nullptr, 0, "", true, Never, Plain, NoExtra},
    };
}

}  // namespace

const StepKind* FindStepKind(const std::string& name) {
    static const std::vector<StepKind> kinds = MakeKinds();
    const char* keyword = StepKindKeyword(name.c_str());
    if (keyword == nullptr) return nullptr;
    for (const StepKind& kind : kinds) {
        if (std::strcmp(kind.keyword, keyword) == 0) return &kind;
    }
    return nullptr;
}

}  // namespace kitcheck
