#include "tools/kitcheck/step_file_check.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "cnxassist/etape_choix.h"
#include "cnxassist/etape_factory.h"
#include "cnxassist/general_config.h"
#include "cnxassist/page.h"
#include "cnxassist/wizard_utils.h"
#include "platform/files.h"
#include "tools/kitcheck/general_check.h"
#include "tools/kitcheck/page_check.h"
#include "tools/kitcheck/script_check.h"
#include "tools/kitcheck/step_kinds.h"

namespace kitcheck {
namespace {

constexpr const char* kRoot = "IdentWindow";
// The section the Inscription step reads its registration number from: data, not a step.
constexpr const char* kSignupDataSection = "Inscription";

// A step the wizard may build, as one of its parents names it.
struct Edge {
    std::string from;  // folded name of the parent, empty for the root
    std::string to;    // as written
    int line = 0;      // where the parent names it
};

class StepFileChecker {
  public:
    StepFileChecker(const KitPath& folder, const IniFile& file, Report* report)
        : m_folder(folder), m_file(file), m_report(report), m_shown(file.Shown()) {}

    void Run();

  private:
    struct Step {
        bool broken = false;            // named but not buildable: already reported
        bool ends = false;              // the wizard ends on it
        std::vector<std::string> next;  // folded names of the steps it leads to
        int line = 0;
        std::string written;  // the name as the file writes it
    };

    void Visit(const Edge& edge);
    // Checks one buildable step section; fills `step` with where it leads.
    void CheckStep(const std::string& name, const StepKind& kind, Step* step);
    void CheckControls(const std::string& name, const StepKind& kind, const CheckedPage* page,
                       int count);
    std::vector<std::string> Successors(const std::string& name, const StepKind& kind,
                                        const std::string& suivants, int choices);
    const CheckedPage* Page(const std::string& name);
    void CheckPaths();

    void Error(int line, const std::string& message) { m_report->Error(m_shown, line, message); }
    void Warning(int line, const std::string& message) {
        m_report->Warning(m_shown, line, message);
    }
    int KeyLine(const std::string& section, const std::string& key) const {
        return m_file.KeyLine(section, key);
    }

    const KitPath& m_folder;
    const IniFile& m_file;
    Report* m_report;
    const std::string& m_shown;
    std::map<std::string, Step> m_steps;  // by folded name
    std::deque<Edge> m_queue;
    std::map<std::string, CheckedPage> m_pages;  // by folded file name
    // The page area the wizard stretches pages onto; none when [General] gives no usable one.
    std::optional<plat::Rect> m_pageArea;
};

void StepFileChecker::Run() {
    if (m_file.LooksLikeUtf8()) {
        Warning(0,
                "the file is written in UTF-8; the wizard reads Windows-1252, so accented "
                "letters will show wrong");
    }
    for (const IniFile::Line& repeated : m_file.RepeatedSections()) {
        Warning(repeated.line, "section [" + repeated.name +
                                   "] is written a second time: the wizard reads only the first");
    }
    CheckGeneral(m_folder, m_file, m_report);
    cnx::GeneralConfig general;
    general.cx = std::atoi(m_file.Read("General", "Cx").c_str());
    general.cy = std::atoi(m_file.Read("General", "Cy").c_str());
    general.cl = std::atoi(m_file.Read("General", "Cl").c_str());
    general.ch = std::atoi(m_file.Read("General", "Ch").c_str());
    if (general.cl > 0 && general.ch > 0) m_pageArea = cnx::PageArea(general);
    m_queue.push_back(Edge{"", kRoot, 0});
    while (!m_queue.empty()) {
        Edge edge = m_queue.front();
        m_queue.pop_front();
        Visit(edge);
    }
    for (const std::string& section : m_file.Sections()) {
        if (SameName(section, "General") || SameName(section, kSignupDataSection)) continue;
        if (m_steps.count(FoldName(section)) == 0) {
            Warning(m_file.SectionLine(section),
                    "step [" + section + "] is never reached from " + kRoot);
        }
    }
    CheckPaths();
}

void StepFileChecker::Visit(const Edge& edge) {
    std::string folded = FoldName(edge.to);
    if (m_steps.count(folded) != 0) {
        if (!edge.from.empty()) m_steps[edge.from].next.push_back(folded);
        return;
    }
    Step& step = m_steps[folded];
    if (!edge.from.empty()) m_steps[edge.from].next.push_back(folded);
    // The root is built as an IdentWindow step whatever its name says; the others by the
    // keyword their name begins with.
    const StepKind* kind = edge.from.empty() ? FindStepKind(kRoot) : FindStepKind(edge.to);
    if (kind == nullptr) {
        step.broken = true;
        std::string hint;
        if (edge.to.find(',') != std::string::npos) {
            hint =
                " (this step's Suivants is one name: only choice and RemoteAccess steps take "
                "a list)";
        } else if (!edge.to.empty() && (edge.to.front() == ' ' || edge.to.back() == ' ')) {
            hint = " (blanks around the commas of a list belong to the names)";
        }
        Error(edge.line, "no step kind begins the name '" + edge.to +
                             "': the wizard stops here (\"etape inexistante\")" + hint);
        return;
    }
    if (!m_file.HasSection(edge.to)) {
        step.broken = true;
        if (edge.from.empty()) {
            Error(0, "no [IdentWindow] section: the wizard has no first step");
        } else {
            Error(edge.line, "step [" + edge.to + "] does not exist: the wizard stops here");
        }
        return;
    }
    step.line = m_file.SectionLine(edge.to);
    step.written = edge.to;
    CheckStep(edge.to, *kind, &step);
}

const CheckedPage* StepFileChecker::Page(const std::string& name) {
    std::string description = m_file.Read(name, "Description");
    if (description.empty()) return nullptr;
    int line = KeyLine(name, "Description");
    if (description.size() >= kStepFieldCapacity) {
        Error(line, "Description is longer than 127 characters: the wizard stops at step " + name);
        return nullptr;
    }
    std::string folded = FoldName(description);
    auto known = m_pages.find(folded);
    if (known == m_pages.end()) {
        KitPath file = InFolder(m_folder, description);
        known =
            m_pages.emplace(folded, CheckPage(file, m_pageArea ? &*m_pageArea : nullptr, m_report))
                .first;
    }
    const CheckedPage& page = known->second;
    if (!page.readable) {
        KitPath file = InFolder(m_folder, description);
        if (plat::CanOpenForReading(file.path.c_str())) {
            Error(line, "page '" + description + "' holds more than " +
                            std::to_string(kMaxPageDescription) +
                            " characters: the wizard stops at step " + name);
        } else {
            Error(line, "page '" + description + "' is not in the kit (" + file.shown +
                            "): the wizard stops at step " + name);
        }
    }
    return &page;
}

void StepFileChecker::CheckStep(const std::string& name, const StepKind& kind, Step* step) {
    CheckRegistryScript(m_file, name, m_report);

    for (const char* key : {"PresenceSuivant", "PresencePrecedent", "PresenceQuitter"}) {
        int presence = m_file.ReadInt(name, key, 1);
        if (static_cast<unsigned>(presence) > 3) {
            Error(KeyLine(name, key), std::string(key) + " is " + std::to_string(presence) +
                                          ": presence values are 0 to 3; the wizard stops at "
                                          "step " +
                                          name);
        }
    }
    if (kind.waitsForNext) {
        int next = m_file.ReadInt(name, "PresenceSuivant", 1);
        bool written = !m_file.Read(name, "PresenceSuivant").empty();
        if (next == 0 || next == 1) {
            Error(KeyLine(name, "PresenceSuivant"),
                  "PresenceSuivant is " + std::to_string(next) + (written ? "" : " (the default)") +
                      " on step " + name + ", which waits for Next: the user can only quit");
        }
    }

    std::string suivants = m_file.Read(name, "Suivants");
    int suivantsLine = KeyLine(name, "Suivants");
    if (suivants.empty()) {
        Error(step->line, "step " + name + " lacks Suivants: the wizard stops here");
    } else if (suivants.size() >= kStepFieldCapacity) {
        Error(suivantsLine,
              "Suivants is longer than 127 characters: the wizard stops at step " + name);
        suivants.clear();
    }

    const CheckedPage* page = Page(name);

    for (const KindKey& key : kind.keys) {
        std::string value = m_file.Read(name, key.name);
        int line = KeyLine(name, key.name);
        if (value.empty()) {
            if (key.required) {
                Error(step->line,
                      "step " + name + " lacks " + key.name + ": the wizard stops here");
            }
            continue;
        }
        if (value.size() >= key.capacity) {
            std::string limit = std::to_string(key.capacity - 1);
            if (key.refused) {
                Error(line, std::string(key.name) + " is longer than " + limit +
                                " characters: the wizard stops at step " + name);
            } else {
                Warning(line, std::string(key.name) + " is longer than " + limit +
                                  " characters: the wizard cuts it");
            }
            continue;
        }
        if (key.file == KindKey::kFileInKit) {
            KitPath path = InFolder(m_folder, value);
            if (!plat::CanOpenForReading(path.path.c_str())) {
                Error(line, "'" + value + "', which " + key.name + " names, is not in the kit (" +
                                path.shown + ")");
            }
        }
    }

    int count = -1;  // the controls the step reserves, -1 when the step fails before
    if (kind.countKey != nullptr) {
        std::string text = m_file.Read(name, kind.countKey);
        count = m_file.ReadInt(name, kind.countKey, -1);
        int line = KeyLine(name, kind.countKey);
        if (text.empty() || count < 0 || count > kind.maxCount) {
            Error(text.empty() ? step->line : line,
                  std::string(kind.countKey) + (text.empty() ? " is missing" : " is " + text) +
                      ": step " + name + " needs 0 to " + std::to_string(kind.maxCount) +
                      "; the wizard stops here");
            count = -1;
        }
    }
    CheckControls(name, kind, page, count);
    kind.checkExtra(m_file, m_folder, name, m_report);

    if (kind.endsWizard(m_file, name)) {
        step->ends = true;
        return;
    }
    if (suivants.empty()) return;
    int choices = kind.choiceCount(count);
    if (choices < 0) return;
    for (const std::string& target : Successors(name, kind, suivants, choices)) {
        m_queue.push_back(Edge{FoldName(name), target, suivantsLine});
    }
}

std::vector<std::string> StepFileChecker::Successors(const std::string& name, const StepKind& kind,
                                                     const std::string& suivants, int choices) {
    if (choices == 0) return {suivants};  // one following step: the whole value is its name
    std::vector<std::string> targets;
    int line = KeyLine(name, "Suivants");
    for (int n = 1; n <= choices; ++n) {
        std::string item;
        if (!cnx::GetListItem(suivants.c_str(), n, &item)) {
            Error(line, "Suivants names no step for choice " + std::to_string(n) + " of step " +
                            name + ": taking it stops the wizard (\"etape inexistante\")");
            continue;
        }
        targets.push_back(item);
    }
    std::string extra;
    if (cnx::GetListItem(suivants.c_str(), choices + 1, &extra)) {
        Warning(line, "Suivants names more steps than step " + name + " has choices (" +
                          std::to_string(choices) + "): '" + extra + "' and after are never used");
    }
    return targets;
}

void StepFileChecker::CheckControls(const std::string& name, const StepKind& kind,
                                    const CheckedPage* page, int count) {
    if (kind.controlKind == nullptr) return;
    int reads = kind.fixedControls >= 0 ? kind.fixedControls : count;
    if (reads <= 0) return;
    int line = KeyLine(name, "Description");
    if (page == nullptr) {
        Error(m_file.SectionLine(name), "step " + name + " reads " + std::to_string(reads) + " " +
                                            kind.controlKind +
                                            " control(s) but has no page (Description)");
        return;
    }
    if (!page->valid) return;  // already reported with the page
    std::string description = m_file.Read(name, "Description");
    for (int k = 1; k <= reads; ++k) {
        auto it = std::find_if(page->controls.begin(), page->controls.end(),
                               [k](const PageControl& c) { return c.number == k; });
        if (it == page->controls.end()) {
            Error(line, "step " + name + " reads " + kind.controlKind + " " + std::to_string(k) +
                            ", which page '" + description + "' lacks");
        } else if (it->kind != kind.controlKind) {
            Error(line, "step " + name + " reads " + kind.controlKind + " " + std::to_string(k) +
                            ", but item " + std::to_string(k) + " of page '" + description +
                            "' is a " + it->kind);
        }
    }
    int onPage = 0;
    for (const PageControl& c : page->controls) {
        if (c.kind != kind.controlKind) continue;
        ++onPage;
        if (c.number > reads) {
            Warning(line, "page '" + description + "' has " + c.kind + " " +
                              std::to_string(c.number) + ", but step " + name + " reads " +
                              std::to_string(reads) + " (" + kind.countHint + ")");
        }
    }
    if (kind.fixedControls >= 0 && kind.countKey != nullptr && count >= 0 && count != onPage) {
        Warning(KeyLine(name, kind.countKey), std::string(kind.countKey) + " is " +
                                                  std::to_string(count) + " but page '" +
                                                  description + "' has " + std::to_string(onPage) +
                                                  " " + kind.controlKind + " control(s)");
    }
    if (kind.fixedControls > 0 && kind.countKey != nullptr && count >= 0 &&
        count < kind.fixedControls) {
        Error(KeyLine(name, kind.countKey),
              std::string(kind.countKey) + " is " + std::to_string(count) + " but step " + name +
                  " reads " + std::to_string(kind.fixedControls) +
                  " fields: the next page's controls take the same ids");
    }
}

void StepFileChecker::CheckPaths() {
    // Steps from which some path reaches an end; a broken step is already reported, so it
    // counts as an end here rather than blaming every step before it.
    std::set<std::string> reachesEnd;
    for (const auto& [name, step] : m_steps) {
        if (step.ends || step.broken) reachesEnd.insert(name);
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [name, step] : m_steps) {
            if (reachesEnd.count(name) != 0) continue;
            for (const std::string& next : step.next) {
                if (reachesEnd.count(next) != 0) {
                    reachesEnd.insert(name);
                    grew = true;
                    break;
                }
            }
        }
    }
    // Report where the trouble starts: at the root, or at a step whose way in came from one
    // that could still reach an end.
    std::string root = FoldName(kRoot);
    for (const auto& [name, step] : m_steps) {
        if (reachesEnd.count(name) != 0) continue;
        bool start = name == root;
        for (const auto& [parentName, parent] : m_steps) {
            if (reachesEnd.count(parentName) == 0) continue;
            if (std::find(parent.next.begin(), parent.next.end(), name) != parent.next.end()) {
                start = true;
            }
        }
        if (start) {
            Error(step.line, "no path from step " + step.written +
                                 " reaches a Fin step: whoever gets here can only quit");
        }
    }
}

}  // namespace

void CheckStepFile(const KitPath& folder, const std::string& stepFile, Report* report) {
    IniFile file(InFolder(folder, stepFile));
    if (!file.Readable()) {
        report->Error(file.Shown(), 0, "cannot read the step file");
        return;
    }
    StepFileChecker(folder, file, report).Run();
}

}  // namespace kitcheck
