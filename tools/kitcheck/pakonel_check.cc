#include "tools/kitcheck/pakonel_check.h"

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "kitassist/button_keys.h"
#include "kitassist/kit_app.h"
#include "platform/draw.h"
#include "platform/files.h"
#include "tools/kitcheck/line_fit_check.h"
#include "tools/kitcheck/markup_check.h"
#include "tools/kitcheck/removal_check.h"
#include "tools/kitextract/extraction.h"

namespace kitcheck {
namespace {

constexpr const char* kGeneral = "General";
// The first page for each kind of machine, with who sees it.
struct FirstPage {
    const char* section;
    const char* who;
};
constexpr FirstPage kFirstPages[] = {{"NOIE", "without Internet Explorer"},
                                     {"IE3", "with Internet Explorer 3"},
                                     {"IE45", "with Internet Explorer 4 or 5"}};
// The internal actions of Proc and Procx keys, compared exactly.
constexpr const char* kActions[] = {"SelectDir", "CopyFiles", "ExeAbonnement", "ExeEspace"};
constexpr int kLastExeNumber = 99;
constexpr int kLastLine = 25;
constexpr std::size_t kLineCapacity = 256;
constexpr std::size_t kKeyValueCapacity = 128;
constexpr std::size_t kGeneralCapacity = 260;
constexpr std::size_t kShortcutNameCapacity = 64;

bool IsNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// The program of a command line: a quoted one whole, else its first word.
std::string ProgramOfCommandLine(const std::string& command) {
    const std::size_t start = command.find_first_not_of(' ');
    if (start == std::string::npos) return std::string();
    if (command[start] == '"') {
        const std::size_t end = command.find('"', start + 1);
        return command.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    }
    return command.substr(start, command.find(' ', start) - start);
}

bool IsAbsolute(const std::string& path) {
    return path.size() >= 2 && (path[1] == ':' || path[1] == '\\');
}

// Where a page is reached from, for the order of the actions: whether an entry field has been
// shown on the way, and whether a CopyFiles has run.
struct FlowState {
    std::string section;
    bool fieldShown = false;
    bool copied = false;
};

class PakonelChecker {
  public:
    PakonelChecker(const KitPath& folder, const IniFile& file, Report* report)
        : m_folder(folder), m_file(file), m_report(report), m_shown(file.Shown()) {}

    void Run();

  private:
    void CheckPage(const std::string& section);
    // The keys of one button; true when the button changes page or ends the wizard.
    bool CheckButton(const std::string& section, const std::string& button);
    void CheckProgram(const std::string& section, const std::string& key, const std::string& value);
    void CheckGeneral();
    // CopyFiles and ExeAbonnement need the installation folder of the entry field; ExeEspace
    // and ExeAbonnement start what CopyFiles installed. Every way through the pages is
    // followed with what has happened on it.
    void CheckActionOrder();

    void Error(int line, const std::string& message) { m_report->Error(m_shown, line, message); }
    void Warning(int line, const std::string& message) {
        m_report->Warning(m_shown, line, message);
    }

    const KitPath& m_folder;
    const IniFile& m_file;
    Report* m_report;
    const std::string& m_shown;
    std::set<std::string> m_reached;  // folded
    std::deque<std::string> m_queue;
    std::set<std::string> m_actionsUsed;
};

void PakonelChecker::Run() {
    if (m_file.LooksLikeUtf8()) {
        Warning(0,
                "the file is written in UTF-8; the wizard reads Windows-1252, so accented "
                "letters will show wrong");
    }
    for (const IniFile::Line& repeated : m_file.RepeatedSections()) {
        Warning(repeated.line, "section [" + repeated.name +
                                   "] is written a second time: the wizard reads only the first");
    }
    for (const FirstPage& first : kFirstPages) {
        if (!m_file.HasSection(first.section)) {
            Error(0, std::string("no [") + first.section + "] section: on a machine " + first.who +
                         " the wizard shows a page with no button, which cannot be left");
            continue;
        }
        m_queue.push_back(first.section);
        m_reached.insert(FoldName(first.section));
    }
    while (!m_queue.empty()) {
        std::string section = m_queue.front();
        m_queue.pop_front();
        CheckPage(section);
    }
    for (const std::string& section : m_file.Sections()) {
        if (SameName(section, kGeneral) || m_reached.count(FoldName(section)) != 0) continue;
        Warning(m_file.SectionLine(section), "page [" + section + "] is never reached");
    }
    CheckGeneral();
    CheckActionOrder();
}

void PakonelChecker::CheckActionOrder() {
    std::deque<FlowState> queue;
    std::set<std::string> seen;
    std::set<std::string> told;
    auto visit = [&](const FlowState& state) {
        const std::string key =
            FoldName(state.section) + (state.fieldShown ? "|f" : "|-") + (state.copied ? "c" : "-");
        if (m_file.HasSection(state.section) && seen.insert(key).second) queue.push_back(state);
    };
    for (const FirstPage& first : kFirstPages) visit({first.section, false, false});
    while (!queue.empty()) {
        const FlowState state = queue.front();
        queue.pop_front();
        const bool field = state.fieldShown || !m_file.Read(state.section, "Saisie").empty();
        for (const char* button : kButtonKeyNames) {
            std::string caption = m_file.Read(state.section, button);
            if (caption.empty() || CutCaptionAtMarker(&caption, '#')) continue;
            bool copied = state.copied;
            for (const char* pattern : {"Proc", "Procx"}) {
                const std::string key = pattern + std::string(button);
                const std::string action = m_file.Read(state.section, key);
                const int line = m_file.KeyLine(state.section, key);
                const std::string where = FoldName(state.section) + "|" + FoldName(key);
                if ((action == "CopyFiles" || action == "ExeAbonnement") && !field &&
                    told.insert(where + "|field").second) {
                    Error(line, key + "=" + action + " runs on page [" + state.section +
                                    "], which shows no entry field and may be reached by no "
                                    "page that does: the installation folder is empty and "
                                    "the wizard refuses it");
                }
                if ((action == "ExeEspace" || action == "ExeAbonnement") && !copied &&
                    told.insert(where + "|copy").second) {
                    Warning(line, key + "=" + action +
                                      " may run before any CopyFiles: the "
                                      "program it starts is not installed yet");
                }
                if (action == "CopyFiles") copied = true;
            }
            const std::string next = m_file.Read(state.section, "Section" + std::string(button));
            if (!next.empty()) visit({next, field, copied});
        }
    }
}

void PakonelChecker::CheckPage(const std::string& section) {
    int sectionLine = m_file.SectionLine(section);
    bool wayForward = false;
    for (const char* button : kButtonKeyNames) {
        wayForward = CheckButton(section, button) || wayForward;
    }
    if (!wayForward) {
        Error(sectionLine, "page [" + section +
                               "] has no way forward: no shown button changes page or ends "
                               "the wizard");
    }

    std::string bitmap = m_file.Read(section, "Bitmap");
    if (!bitmap.empty()) {
        int line = m_file.KeyLine(section, "Bitmap");
        KitPath path = InFolder(m_folder, bitmap);
        if (!plat::CanOpenForReading(path.path.c_str())) {
            Error(line, "picture '" + bitmap + "' is not in the kit (" + path.shown + ")");
        } else if (plat::Hbitmap loaded = plat::LoadBitmapFromFile(path.path.c_str())) {
            plat::DeleteObject(loaded);
        } else {
            Error(line, "picture '" + bitmap + "' cannot be loaded as a bitmap (BMP file)");
        }
    }

    // Where the page's text lines begin (the wizard's default without "xt").
    const std::string xtValue = m_file.Read(section, "xt");
    const int xt = IsNumber(xtValue) && xtValue.size() < 6 ? std::stoi(xtValue) : 30;
    for (const std::string& key : m_file.Keys(section)) {
        if (!IsNumber(key)) continue;
        int number = std::stoi(key.size() > 6 ? "999999" : key);
        int line = m_file.KeyLine(section, key);
        if (number < 1 || number > kLastLine || key[0] == '0') {
            Warning(line, "line '" + key + "' is never drawn: the text lines are 1 to 25");
            continue;
        }
        std::string text = m_file.Read(section, key);
        if (text.size() >= kLineCapacity) {
            Warning(line, "line " + key + " is longer than 255 characters: the wizard cuts it");
            text.resize(kLineCapacity - 1);
        }
        CheckMarkupLine(m_shown, line, text, m_report);
        CheckLineFits(m_shown, line, key, text, xt, m_report);
    }
}

bool PakonelChecker::CheckButton(const std::string& section, const std::string& button) {
    std::string caption = m_file.Read(section, button);
    bool shown = !caption.empty();
    std::string cut = caption;
    bool disabled = CutCaptionAtMarker(&cut, '#');
    // The keys that make the button do something, in the order the wizard runs them.
    std::vector<std::string> keys;
    for (int n = 1; n <= kLastExeNumber; ++n) keys.push_back("Exe" + std::to_string(n) + button);
    for (const char* pattern : {"Proc", "Procx", "Exe", "Section"})
        keys.push_back(pattern + button);
    std::vector<std::string> present;
    for (const std::string& key : keys) {
        if (!m_file.Read(section, key).empty()) present.push_back(key);
    }
    if (!present.empty() && (!shown || disabled)) {
        std::string why = !shown ? "button " + button + " has no caption, so it is never shown"
                                 : "button " + button + " is disabled ('#' in its caption)";
        Warning(m_file.KeyLine(section, present.front()),
                why + ": " + present.front() + (present.size() > 1 ? " and the others" : "") +
                    " never run");
    }
    if (!shown || disabled) return false;

    bool leaves = button == "Quitter";  // without a SectionQuitter, Quitter closes the wizard
    for (const std::string& key : present) {
        std::string value = m_file.Read(section, key);
        int line = m_file.KeyLine(section, key);
        if (value.size() >= kKeyValueCapacity) {
            Error(line, key + " is longer than 127 characters: the wizard cuts it");
            continue;
        }
        if (key.rfind("Proc", 0) == 0) {
            bool known = false;
            for (const char* action : kActions) known = known || value == action;
            if (!known) {
                Error(line, "'" + value +
                                "' does nothing: the actions are SelectDir, CopyFiles, "
                                "ExeAbonnement and ExeEspace (letter case counts)");
            } else {
                m_actionsUsed.insert(value);
            }
            if (key.rfind("Procx", 0) == 0) leaves = true;
        } else if (key.rfind("Section", 0) == 0) {
            if (!m_file.HasSection(value)) {
                Error(line, "page [" + value +
                                "] does not exist: it would show no button and could not be left");
            } else {
                leaves = true;
                if (m_reached.insert(FoldName(value)).second) m_queue.push_back(value);
            }
        } else {
            CheckProgram(section, key, value);
            if (key == "Exe" + button) leaves = true;
        }
    }
    return leaves;
}

void PakonelChecker::CheckProgram(const std::string& section, const std::string& key,
                                  const std::string& value) {
    int line = m_file.KeyLine(section, key);
    std::string command = CommandForValue(value, "");
    if (value.size() >= 2 && (value[1] == ':' || value[1] == '\\')) return;  // outside the kit
    std::string program = command;
    bool searched = false;
    if (value[0] == '?') {
        // A command line: its program is found by the platform's program search, which looks
        // in the wizard's folder first. A quoted program is read whole.
        program = ProgramOfCommandLine(command);
        searched = true;
    } else if (program.size() >= 2 && program.front() == '"') {
        program = program.substr(1, program.size() - 2);
    }
    KitPath path = InFolder(m_folder, program);
    if (plat::CanOpenForReading(path.path.c_str())) return;
    if (searched) {
        if (program.find('.') == std::string::npos &&
            plat::CanOpenForReading(InFolder(m_folder, program + ".exe").path.c_str())) {
            return;
        }
        Warning(line, "program '" + program + "' of " + key +
                          " is not in the kit: only the machine's program search can find it");
    } else {
        Error(line,
              "program '" + program + "' of " + key + " is not in the kit (" + path.shown + ")");
    }
}

void PakonelChecker::CheckGeneral() {
    auto read = [this](const char* key, std::size_t capacity) {
        std::string value = m_file.Read(kGeneral, key);
        if (value.size() >= capacity) {
            Warning(m_file.KeyLine(kGeneral, key), std::string(key) + " is longer than " +
                                                       std::to_string(capacity - 1) +
                                                       " characters: the wizard cuts it");
        }
        return value;
    };
    std::string extractible = read("Extractible", kGeneralCapacity);
    std::string abonnement = read("Abonnement", kGeneralCapacity);
    std::string espace = read("Espace", kGeneralCapacity);
    std::string raccEspace = read("RaccEspace", kShortcutNameCapacity);

    auto need = [this](const char* key, const std::string& value, const char* action) {
        if (!value.empty()) return true;
        Error(m_file.SectionLine(kGeneral),
              std::string("[General] lacks ") + key + ", which the action " + action + " uses");
        return false;
    };
    bool copies = m_actionsUsed.count("CopyFiles") != 0;
    if (copies && need("Extractible", extractible, "CopyFiles")) {
        // Started by name: the platform's program search looks in the wizard's folder first,
        // then in folders kitcheck cannot know. An absolute path is the author's choice.
        const std::string program = ProgramOfCommandLine(extractible);
        KitPath path = InFolder(m_folder, program);
        if (!IsAbsolute(program) && !plat::CanOpenForReading(path.path.c_str()) &&
            !plat::CanOpenForReading((path.path + ".exe").c_str())) {
            Warning(m_file.KeyLine(kGeneral, "Extractible"),
                    "extraction program '" + program + "' is not in the kit (" + path.shown +
                        "): only the machine's program search can find it");
        }
    }
    if (copies) {
        const int line = m_file.KeyLine(kGeneral, "RaccEspace");
        if (raccEspace.empty()) {
            Error(line != 0 ? line : m_file.SectionLine(kGeneral),
                  "[General] RaccEspace is empty: the desktop shortcut that CopyFiles writes "
                  "would have no name");
        } else if (raccEspace.find_first_of("\\/:*?\"<>|") != std::string::npos) {
            Error(line, "RaccEspace '" + raccEspace +
                            "' holds a character a file name cannot: the desktop shortcut "
                            "cannot be written");
        }
    }
    if (copies && espace.empty()) {
        Warning(m_file.SectionLine(kGeneral),
                "[General] lacks Espace: CopyFiles cannot check that the kit was installed, "
                "and writes no desktop shortcut");
    }
    if (m_actionsUsed.count("ExeEspace") != 0) need("Espace", espace, "ExeEspace");
    if (m_actionsUsed.count("ExeAbonnement") != 0) {
        need("Abonnement", abonnement, "ExeAbonnement");
    }

    // The programs the installation starts come out of the payload.
    KitPath payload = PayloadFolder(m_folder, m_file);
    if (payload.path.empty() || !copies) return;
    std::vector<plat::DirectoryEntry> entries;
    if (!plat::ListDirectory(payload.path.c_str(), &entries)) {
        Error(m_file.KeyLine(kGeneral, "Extractible"), "the payload folder is missing (" +
                                                           payload.shown + "): " + extractible +
                                                           " copies nothing");
        return;
    }
    CheckRemovalNeeds(m_file, payload, entries, m_report);
    for (const char* key : {"Espace", "Abonnement"}) {
        std::string value = m_file.Read(kGeneral, key);
        if (value.empty()) continue;
        KitPath path = InFolder(payload, value);
        if (!plat::CanOpenForReading(path.path.c_str())) {
            Error(m_file.KeyLine(kGeneral, key),
                  "program '" + value + "' is not in the payload (" + path.shown + ")");
        }
    }
}

}  // namespace

KitPath PayloadFolder(const KitPath& folder, const IniFile& pakonel) {
    std::string extractible = pakonel.Read(kGeneral, "Extractible");
    std::string name = FoldName(extractible.substr(0, extractible.find(' ')));
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (name != "KITEXTRACT.EXE" && name != "KITEXTRACT") return KitPath{};
    return InFolder(folder, kitextract::kPayloadFolder);
}

void CheckPakonel(const KitPath& folder, Report* report) {
    IniFile file(InFolder(folder, kIniFileName));
    if (!file.Readable()) {
        report->Error(file.Shown(), 0, "cannot read Pakonel.ini");
        return;
    }
    PakonelChecker(folder, file, report).Run();
}

}  // namespace kitcheck
