#include "platform/sim/ui_walk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

namespace sim::walk {
namespace {

struct Line {
    int number = 0;
    std::string command;
    std::string rest;  // what follows the command and one blank
};

struct Walk {
    std::string program;
    std::vector<Line> lines;
    std::size_t next = 0;
    plat::Hwnd window = 0;
    std::string file;  // host path of the last wait-file
    std::chrono::steady_clock::time_point waitingSince;
    bool waiting = false;
};

[[noreturn]] void Fail(const Walk& walk, const Line& line, const std::string& why) {
    std::fprintf(stderr, "walk: FAIL %s line %d (%s %s): %s\n", walk.program.c_str(), line.number,
                 line.command.c_str(), line.rest.c_str(), why.c_str());
    std::fflush(nullptr);
    std::_Exit(3);
}

plat::Hwnd Control(const Walk& walk, const std::string& id) {
    if (walk.window == 0) return 0;
    return plat::GetDlgItem(walk.window, std::atoi(id.c_str()));
}

bool Shown(plat::Hwnd window) { return window != 0 && sim::ui::Info(window).shown; }

std::string FirstWord(const std::string& text, std::string* rest) {
    std::size_t blank = text.find(' ');
    *rest = blank == std::string::npos ? std::string() : text.substr(blank + 1);
    return text.substr(0, blank);
}

plat::Hwnd TopLevelTitled(const std::string& title) {
    for (plat::Hwnd window : sim::ui::TopLevelWindows()) {
        sim::ui::WindowInfo info = sim::ui::Info(window);
        if (info.shown && !info.destroyed && info.text == title) return window;
    }
    return 0;
}

// A wait for another program's file is pointless once a program of the machine has shown an
// error box (SIMWIN_BOX_LOG, see message_box_log.h): that program has given up, and the user
// would not wait for it either. The walk stops there, as a failed one does, but says why.
void StopAfterAnErrorBox(const Walk& walk, const Line& line) {
    const char* log = std::getenv("SIMWIN_BOX_LOG");
    struct stat st;
    if (log == nullptr || *log == '\0' || stat(log, &st) != 0 || st.st_size == 0) return;
    std::fprintf(stderr, "walk: STOP %s line %d (%s %s): an error box was shown\n",
                 walk.program.c_str(), line.number, line.command.c_str(), line.rest.c_str());
    std::fflush(nullptr);
    std::_Exit(3);
}

struct WalkKey {
    const char* name;
    int vk;
};

constexpr WalkKey kWalkKeys[] = {
    {"tab", plat::kVkTab},     {"enter", plat::kVkReturn},   {"escape", plat::kVkEscape},
    {"space", plat::kVkSpace}, {"up", plat::kVkUp},          {"down", plat::kVkDown},
    {"left", plat::kVkLeft},   {"right", plat::kVkRight},    {"home", plat::kVkHome},
    {"end", plat::kVkEnd},     {"backspace", plat::kVkBack},
};

// Posts one key (or Alt+letter) to the focus of the walk's window, as the keyboard would.
bool PressWalkKey(const Walk& walk, std::string name) {
    if (name.size() == 5 && name.compare(0, 4, "alt+") == 0) {
        plat::Hwnd focus = sim::ui::Focus();
        plat::PostMessage(focus != 0 ? focus : walk.window, plat::kWmSysChar,
                          static_cast<unsigned char>(name[4]), 1 | (1 << 29));
        return true;
    }
    bool shift = name.compare(0, 6, "shift+") == 0;
    if (shift) name = name.substr(6);
    for (const WalkKey& key : kWalkKeys) {
        if (name == key.name) {
            sim::ui::PressKey(walk.window, key.vk, shift);
            return true;
        }
    }
    return false;
}

// One step of the walk: true when the current command is done, false to try it again after
// the clock has moved.
bool Perform(Walk& walk, const Line& line) {
    const std::string& arg = line.rest;
    if (line.command == "say") {
        std::printf("%s\n", arg.c_str());
        std::fflush(stdout);
        return true;
    }
    if (line.command == "window") {
        walk.window = TopLevelTitled(arg);
        return walk.window != 0;
    }
    if (line.command == "wait") return Shown(Control(walk, arg));
    if (line.command == "click") {
        plat::Hwnd button = Control(walk, arg);
        if (!Shown(button) || !sim::ui::Info(button).enabled) return false;
        if (!sim::ui::Click(button)) Fail(walk, line, "the button cannot be clicked");
        return true;
    }
    if (line.command == "type" || line.command == "expect") {
        std::string text;
        std::string id = FirstWord(arg, &text);
        plat::Hwnd control = Control(walk, id);
        if (!Shown(control)) return false;
        if (line.command == "type") {
            if (!sim::ui::ReplaceText(control, text)) Fail(walk, line, "not an edit field");
        } else if (sim::ui::Info(control).text != text) {
            Fail(walk, line, "the text is \"" + sim::ui::Info(control).text + "\"");
        }
        return true;
    }
    if (line.command == "wait-file") {
        bool there = sim::Machine::Current().ToHostPath(arg, &walk.file) &&
                     access(walk.file.c_str(), F_OK) == 0;
        if (!there) StopAfterAnErrorBox(walk, line);
        return there;
    }
    if (line.command == "wait-text") {
        std::ifstream file(walk.file, std::ios::binary);
        std::stringstream contents;
        contents << file.rdbuf();
        bool there = contents.str().find(arg) != std::string::npos;
        if (!there) StopAfterAnErrorBox(walk, line);
        return there;
    }
    if (line.command == "folder") {
        sim::ui::ScriptFolderChoice(arg);
        return true;
    }
    if (line.command == "press") {
        std::string rest = arg;
        while (!rest.empty()) {
            const std::string keys = rest;
            std::string key = FirstWord(keys, &rest);
            if (!key.empty() && !PressWalkKey(walk, key)) Fail(walk, line, "unknown key " + key);
        }
        return true;
    }
    if (line.command == "press-text") {
        plat::Hwnd focus = sim::ui::Focus();
        if (!sim::ui::TypeText(focus, arg)) Fail(walk, line, "the focus is not in an edit field");
        return true;
    }
    if (line.command == "focus") {
        plat::Hwnd control = Control(walk, arg);
        return control != 0 && sim::ui::Focus() == control;
    }
    if (line.command == "checked") {
        std::string state;
        plat::Hwnd control = Control(walk, FirstWord(arg, &state));
        if (!Shown(control)) return false;
        if (sim::ui::Info(control).check != std::atoi(state.c_str())) {
            Fail(walk, line, "the check state is " + std::to_string(sim::ui::Info(control).check));
        }
        return true;
    }
    if (line.command == "close") {
        if (!sim::ui::CloseBox(walk.window)) Fail(walk, line, "no window to close");
        return true;
    }
    Fail(walk, line, "unknown command");
}

// How long a command may wait: 30 s, or SIMWIN_WALK_TIMEOUT seconds. Walks made with faults
// injected stop much sooner where a program gave up after its error box.
std::chrono::seconds WaitLimit() {
    const char* value = std::getenv("SIMWIN_WALK_TIMEOUT");
    int seconds = value != nullptr ? std::atoi(value) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 30);
}

void RunNext(std::shared_ptr<Walk> walk) {
    if (walk->next >= walk->lines.size()) return;
    const Line& line = walk->lines[walk->next];
    if (Perform(*walk, line)) {
        if (std::getenv("SIMWIN_WALK_TRACE") != nullptr) {
            static const auto start = std::chrono::steady_clock::now();
            auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
            std::fprintf(stderr, "walk: %s %lld ms line %d %s\n", walk->program.c_str(),
                         static_cast<long long>(ms), line.number, line.command.c_str());
        }
        walk->waiting = false;
        ++walk->next;
    } else {
        auto now = std::chrono::steady_clock::now();
        if (!walk->waiting) {
            walk->waiting = true;
            walk->waitingSince = now;
        } else if (now - walk->waitingSince > WaitLimit()) {
            std::string why = "still not there after " + std::to_string(WaitLimit().count()) + " s";
            if (line.command == "focus") {
                sim::ui::WindowInfo focus = sim::ui::Info(sim::ui::Focus());
                why += "; the focus is on " +
                       (focus.exists ? std::to_string(focus.id) + " \"" + focus.text + "\""
                                     : std::string("nothing"));
            }
            Fail(*walk, line, why);
        }
        // The other programs of the machine run meanwhile; this one's timers fire.
        usleep(2000);
        sim::ui::AdvanceClock(100);
    }
    if (walk->next < walk->lines.size()) {
        sim::ui::ScriptUserAction([walk]() { RunNext(walk); });
    }
}

}  // namespace

void InstallFromEnvironment(const std::string& programPath) {
    const char* folder = std::getenv("SIMWIN_WALK");
    if (folder == nullptr || *folder == '\0') return;
    std::string name = programPath.substr(programPath.find_last_of("/\\") + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) {
        name.resize(name.size() - 4);
    }
    std::ifstream file(std::string(folder) + "/" + name + ".walk");
    if (!file) return;
    auto walk = std::make_shared<Walk>();
    walk->program = name;
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text[0] == '#') continue;
        Line line;
        line.number = number;
        line.command = FirstWord(text, &line.rest);
        walk->lines.push_back(line);
    }
    if (!walk->lines.empty()) sim::ui::ScriptUserAction([walk]() { RunNext(walk); });
}

}  // namespace sim::walk
