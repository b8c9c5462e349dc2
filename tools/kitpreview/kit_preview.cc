// Drawing a kit's pages: the kit wizard shows each page section of Pakonel.ini in turn, the
// connection wizard builds each step that has a page and shows it, and kitcheck's findings are
// attached to the pages they are about.
#include "tools/kitpreview/kit_preview.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "cnxassist/assistant.h"
#include "cnxassist/etape_factory.h"
#include "cnxassist/wizard_main.h"
#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "platform/draw.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "plugmaj/log_window.h"
#include "plugmaj/plugmaj_main.h"
#include "tools/kitcheck/kitcheck.h"
#include "tools/kitpreview/message_box_picture.h"
#include "tools/kitpreview/preview_machine.h"

namespace kitpreview {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKitDir = "C:\\KIT";

std::vector<std::string> SectionsOf(const std::string& windowsFile) {
    std::vector<char> buffer(65536);
    plat::Dword n =
        plat::GetPrivateProfileString(nullptr, nullptr, "", buffer.data(),
                                      static_cast<plat::Dword>(buffer.size()), windowsFile.c_str());
    std::vector<std::string> sections;
    for (std::size_t at = 0; at < n && buffer[at] != '\0';) {
        std::string name(buffer.data() + at);
        at += name.size() + 1;
        if (!sim::EqualsNoCase(name, "General")) sections.push_back(name);
    }
    return sections;
}

std::string Key(const std::string& file, const std::string& section, const char* key) {
    char value[512] = {};
    plat::GetPrivateProfileString(section.c_str(), key, "", value, sizeof value, file.c_str());
    return value;
}

// The sections of a file by line: which section holds line n (1-based).
std::vector<std::string> SectionOfLines(const std::string& hostFile) {
    std::vector<std::string> byLine{""};
    std::ifstream in(hostFile, std::ios::binary);
    std::string line;
    std::string current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t open = line.find_first_not_of(" \t");
        if (open != std::string::npos && line[open] == '[') {
            std::size_t close = line.find(']', open);
            if (close != std::string::npos) current = line.substr(open + 1, close - open - 1);
        }
        byLine.push_back(current);
    }
    return byLine;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool Save(plat::Hwnd window, const std::string& outFolder, const std::string& name,
          std::vector<PagePicture>* pages, std::string* error) {
    PagePicture page;
    page.name = name;
    page.file = outFolder + "/" + name + ".png";
    if (!sim::ui::SaveWindowPicture(window, page.file, true, error)) return false;
    pages->push_back(page);
    return true;
}

// The PCs whose browsers the kit wizard tells apart, for its first page.
struct BrowserPc {
    Browser browser;
    const char* label;
};
constexpr BrowserPc kBrowserPcs[] = {{Browser::kNone, "sans Internet Explorer"},
                                     {Browser::kIe3, "Internet Explorer 3"},
                                     {Browser::kIe4, "Internet Explorer 4 ou 5"}};

bool KitWizardPages(const std::string& outFolder, std::vector<PagePicture>* pages,
                    std::string* error) {
    sim::ui::Reset();
    sim::Machine::Current().SetModulePath(std::string(kKitDir) + "\\kitassist.exe");
    // The first page is the one the wizard chooses at start-up on each browser's PC; a section
    // it chooses that Pakonel.ini lacks is drawn too, as the wizard then shows it.
    std::vector<std::pair<std::string, std::string>> firstPages;  // section, the PC
    for (const BrowserPc& pc : kBrowserPcs) {
        SetBrowser(pc.browser);
        CKitApp probe;
        probe.Start();
        firstPages.emplace_back(probe.m_startSection.str(), pc.label);
    }
    SetBrowser(Browser::kIe4);
    CKitApp app;
    app.Start();
    if (app.m_iniPath.empty()) return true;
    std::vector<std::string> sections = SectionsOf(app.m_iniPath.c_str());
    for (const auto& [section, pc] : firstPages) {
        bool known = std::any_of(sections.begin(), sections.end(), [&](const std::string& s) {
            return sim::EqualsNoCase(s, section);
        });
        if (!known && !section.empty()) sections.push_back(section);
    }
    CKitDialog dialog(app);
    bool ok = true;
    sim::ui::ScriptUserAction([&] {
        for (const std::string& section : sections) {
            // Each page on a clean window, as the first page of a run is shown.
            sim::ui::ClearDrawLog(dialog.m_hwnd);
            dialog.GoToSection(section);
            plat::InvalidateRect(dialog.m_hwnd, nullptr, true);
            dialog.RefreshPage();
            sim::ui::PumpMessages();
            if (!Save(dialog.m_hwnd, outFolder, "kitassist-" + section, pages, error)) {
                ok = false;
                continue;
            }
            for (const auto& [first, pc] : firstPages) {
                if (!sim::EqualsNoCase(first, section)) continue;
                std::string& shownOn = pages->back().shownOn;
                shownOn += (shownOn.empty() ? "premier écran " : ", ") + pc;
            }
        }
        plat::EndDialog(dialog.m_hwnd, 0);
    });
    dialog.DoModal();
    sim::ui::Reset();
    return ok;
}

// The plug-in installer's log window, which the kit's silent run keeps hidden: drawn as a run
// of its own ("H", the first installation) shows it, started from where the kit installs it
// (the kit wizard's default directory) on a PC without the plug-in, as
// plugmaj-<the step that starts it>.
bool PluginLogPicture(const fs::path& payloadHost, const std::string& payload,
                      const std::string& outFolder, std::vector<PagePicture>* pages,
                      std::string* error) {
    std::string stepFile = payload + "\\cfg.ini";
    std::string step;
    for (const std::string& section : SectionsOf(stepFile)) {
        if (Lower(Key(stepFile, section, "NomExe")) == "plugmaj.exe") {
            step = section;
            break;
        }
    }
    if (step.empty() || !fs::exists(payloadHost / "plugmaj.exe")) return true;
    const std::string installed = "C:\\Program Files\\Telvora";
    std::string installedHost;
    sim::Machine::Current().ToHostPath(installed, &installedHost);
    std::error_code ignored;
    fs::create_directories(installedHost, ignored);
    for (const char* name : {"plugmaj.exe", "quadterm.exe", "quadterm.ini"}) {
        fs::copy_file(payloadHost / name, fs::path(installedHost) / name,
                      fs::copy_options::overwrite_existing, ignored);
    }
    sim::ui::Reset();
    sim::Machine::Current().SetModulePath(installed + "\\plugmaj.exe");
    sim::Machine::Current().SetCurrentDirectory(installed);
    PagePicture page;
    page.name = "plugmaj-" + step;
    page.file = outFolder + "/" + page.name + ".png";
    page.shownOn = "journal, hors du kit (plugmaj H)";
    bool saved = false;
    sim::ui::ScriptUserAction([&] {
        plat::Hwnd log = sim::ui::FindTopLevel(plug::kLogWindowClass, nullptr);
        saved = log != 0 && sim::ui::SaveWindowPicture(log, page.file, true, error);
        if (log != 0) sim::ui::CloseBox(log);
    });
    plug::RunPlugmaj("H");
    sim::ui::Reset();
    if (!saved) {
        // Named on the error output, as a step that cannot be built: the other pages stand.
        std::fprintf(stderr, "kitpreview: the log window of plugmaj.exe (step %s) not drawn%s%s\n",
                     step.c_str(), error->empty() ? "" : ": ", error->c_str());
        error->clear();
        return true;
    }
    pages->push_back(page);
    return true;
}

// The root step's checks that stop the wizard before its window shows: the error box it shows
// on a PC that fails each, as cnxassist-<root section>-<variant>.
bool FailedCheckPictures(const std::string& payload, const std::string& outFolder,
                         std::vector<PagePicture>* pages, std::string* error) {
    std::string stepFile = payload + "\\cfg.ini";
    std::string root;
    for (const std::string& section : SectionsOf(stepFile)) {
        if (Lower(section).rfind("identwindow", 0) == 0) {
            root = section;
            break;
        }
    }
    if (root.empty()) return true;
    std::string signUp;
    sim::Machine::Current().ToHostPath(payload + "\\ISIGNUP.EXE", &signUp);
    struct FailingPc {
        const char* variant;
        const char* shownOn;
        bool windows9x;
        bool signUpProgram;
    };
    const FailingPc failing[] = {{"WindowsNT", "Windows NT", false, true},
                                 {"SansInscription", "sans programme d'inscription", true, false}};
    bool ok = true;
    for (const FailingPc& pc : failing) {
        SetWindows9x(pc.windows9x);
        std::error_code ignored;
        if (!pc.signUpProgram) fs::rename(signUp, signUp + ".cache", ignored);
        sim::ui::Reset();
        sim::Machine::Current().SetModulePath(payload + "\\cnxassist.exe");
        sim::Machine::Current().SetCurrentDirectory(payload);
        cnx::WizardStart start = cnx::StartWizard("");
        if (!start.ended && g_assistant != nullptr) sim::ui::PumpMessages();
        std::vector<sim::ui::MessageBoxRecord> boxes = sim::ui::MessageBoxes();
        if (!start.ended) cnx::EndWizard();
        sim::ui::Reset();
        if (!pc.signUpProgram) fs::rename(signUp + ".cache", signUp, ignored);
        SetWindows9x(true);
        if (boxes.empty()) continue;  // the kit goes on on such a PC: nothing to show
        PagePicture page;
        page.name = "cnxassist-" + root + "-" + pc.variant;
        page.file = outFolder + "/" + page.name + ".png";
        page.shownOn = pc.shownOn;
        if (!SaveErrorBoxPicture(boxes.front().caption, boxes.front().text, page.file, error)) {
            ok = false;
            continue;
        }
        pages->push_back(page);
    }
    return ok;
}

bool ConnectionWizardPages(const std::string& payload, const std::string& outFolder,
                           std::vector<PagePicture>* pages, std::string* error) {
    sim::ui::Reset();
    sim::Machine::Current().SetModulePath(payload + "\\cnxassist.exe");
    sim::Machine::Current().SetCurrentDirectory(payload);
    cnx::WizardStart start = cnx::StartWizard("");
    if (start.ended || g_assistant == nullptr) return true;
    sim::ui::PumpMessages();
    std::string stepFile = payload + "\\cfg.ini";
    bool ok = true;
    std::vector<std::unique_ptr<CEtape>> built;
    CEtape* shown = g_assistant->m_current;
    for (const std::string& section : SectionsOf(stepFile)) {
        if (Key(stepFile, section, "Description").empty()) continue;
        if (StepKindKeyword(section.c_str()) == nullptr) continue;
        SeedScriptSources(stepFile, section);
        CEtape* step = nullptr;
        try {
            step = CreateEtape(g_assistant->m_hwnd, nullptr, &g_assistant->m_pageRect,
                               section.c_str());
        } catch (const CEtapeException& e) {
            std::fprintf(stderr, "kitpreview: step %s not drawn: %s\n", section.c_str(),
                         e.Message());
            continue;
        }
        if (step == nullptr) continue;
        built.emplace_back(step);
        plat::Hdc dc = plat::GetDC(g_assistant->m_hwnd);
        if (shown != nullptr) shown->Erase(dc);
        step->Show(dc);
        plat::ReleaseDC(g_assistant->m_hwnd, dc);
        shown = step;
        if (!Save(g_assistant->m_hwnd, outFolder, "cnxassist-" + section, pages, error)) {
            ok = false;
            continue;
        }
        // The checks' pages show only where the check fails.
        std::string kind = StepKindKeyword(section.c_str());
        if (kind == "CheckUser") pages->back().shownOn = "sans utilisateur connecté";
        if (kind == "CheckDNS") pages->back().shownOn = "serveur de noms d'un autre fournisseur";
    }
    built.clear();
    cnx::EndWizard();
    sim::ui::Reset();
    return ok;
}

// kitcheck's findings, each given to the page it is about: a line of Pakonel.ini or of the
// step file belongs to its section's page, a finding in a page file to every step showing it.
void AttachFindings(const std::string& kitHost, const std::string& payloadHost,
                    const std::string& stepFile, std::vector<PagePicture>* pages) {
    kitcheck::Report report;
    int checked = 0;
    std::string problem;
    kitcheck::CheckArguments({kitHost}, &report, &checked, &problem);
    std::map<std::string, std::vector<std::string>> linesOf;
    std::map<std::string, std::vector<std::string>> stepsShowing;
    for (const std::string& section : SectionsOf(stepFile)) {
        std::string description = Key(stepFile, section, "Description");
        if (!description.empty()) stepsShowing[Lower(description)].push_back(section);
    }
    for (const kitcheck::Finding& f : report.Sorted()) {
        std::string file = fs::path(f.file).filename().string();
        std::string text = kitcheck::FormatFinding(f);
        std::vector<std::string> names;
        std::string lower = Lower(file);
        bool pakonel = lower == "pakonel.ini";
        if (pakonel || (lower.rfind("cfg", 0) == 0 && lower.size() > 4 &&
                        lower.substr(lower.size() - 4) == ".ini")) {
            std::string host = pakonel ? kitHost + "/" + file : payloadHost + "/" + file;
            if (!linesOf.count(host)) linesOf[host] = SectionOfLines(host);
            const auto& lines = linesOf[host];
            if (f.line > 0 && static_cast<std::size_t>(f.line) < lines.size())
                names.push_back((pakonel ? "kitassist-" : "cnxassist-") + lines[f.line]);
        } else {
            for (const std::string& step : stepsShowing[lower])
                names.push_back("cnxassist-" + step);
        }
        for (PagePicture& page : *pages) {
            if (std::find(names.begin(), names.end(), page.name) != names.end())
                page.findings.push_back(text);
        }
    }
}

void CopyFolder(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

}  // namespace

bool PreviewKit(const std::string& kitFolder, const std::string& outFolder,
                std::vector<PagePicture>* pages, std::string* error) {
    fs::path kit = fs::absolute(kitFolder);
    bool hasPakonel = fs::exists(kit / "Pakonel.ini");
    fs::path payload = fs::exists(kit / "contenu" / "cfg.ini") ? kit / "contenu" : kit;
    bool hasSteps = fs::exists(payload / "cfg.ini");
    if (!hasPakonel && !hasSteps) {
        *error = kitFolder + " holds neither Pakonel.ini nor cfg.ini (nor contenu/cfg.ini)";
        return false;
    }
    std::error_code ignored;
    fs::create_directories(outFolder, ignored);
    const char* tmp = getenv("TMPDIR");
    std::string machine = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/kitpreview-XXXXXX";
    if (mkdtemp(machine.data()) == nullptr) {
        *error = "cannot make a machine folder in the temporary directory";
        return false;
    }
    sim::Machine::Use(machine);
    // The kit's own copy on drive C: the wizards may write beside themselves.
    CopyFolder(kit, fs::path(machine) / "drive_c" / "KIT");
    SeedSubscriberPc();
    std::string payloadWindows =
        payload == kit ? std::string(kKitDir) : std::string(kKitDir) + "\\contenu";
    bool ok = true;
    if (hasPakonel) ok = KitWizardPages(outFolder, pages, error) && ok;
    if (hasSteps) {
        ok = FailedCheckPictures(payloadWindows, outFolder, pages, error) && ok;
        ok = ConnectionWizardPages(payloadWindows, outFolder, pages, error) && ok;
        ok = PluginLogPicture(payload, payloadWindows, outFolder, pages, error) && ok;
    }
    AttachFindings(kit.string(), payload.string(), payloadWindows + "\\cfg.ini", pages);
    fs::remove_all(machine, ignored);
    return ok;
}

}  // namespace kitpreview
