// quadterm.exe: a stand-in for the videotex terminal that the plug-in installer copies and
// registers. It shows, in a window, the name and the size of the document it was given, which
// is enough to see that opening a .vtx document reaches it. Its title comes from quadterm.ini
// beside it.
#include <string>

#include "common/quit_on_destroy.h"
#include "common/split_path.h"
#include "platform/app_main.h"
#include "platform/draw.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/window.h"

namespace {

constexpr int kNameId = 101;
constexpr int kSizeId = 102;

// The shell passes the document as the whole argument text, quoted or not.
std::string DocumentPath(const char* commandLine) {
    std::string path = commandLine != nullptr ? commandLine : "";
    std::size_t first = path.find_first_not_of(' ');
    std::size_t last = path.find_last_not_of(' ');
    path = first == std::string::npos ? std::string() : path.substr(first, last - first + 1);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    return path;
}

std::string Title() {
    char program[260] = {};
    plat::GetModuleFileName(program, sizeof program);
    char directory[256];
    char name[256];
    kit::SplitPath(program, directory, sizeof directory, name, sizeof name);
    std::string ini = std::string(directory) + "quadterm.ini";
    char title[128];
    plat::GetPrivateProfileString("Quadterm", "Titre", "Quadterm", title, sizeof title,
                                  ini.c_str());
    return title;
}

}  // namespace

int AppMain(const char* commandLine) {
    plat::WndClass windowClass;
    windowClass.wndProc = kit::QuitOnDestroyProc;
    windowClass.icon = plat::LoadSystemIcon(plat::kIdiApplication);
    windowClass.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
    windowClass.background = plat::kColorBtnFace + 1;
    windowClass.className = "CQuadterm";
    if (!plat::RegisterWindowClass(windowClass)) return 1;

    std::string path = DocumentPath(commandLine);
    std::string nameLine = "Aucun document";
    std::string sizeLine;
    if (!path.empty()) {
        std::size_t slash = path.find_last_of("\\/");
        nameLine = "Document : " + (slash == std::string::npos ? path : path.substr(slash + 1));
        std::string contents;
        if (plat::ReadWholeFile(path.c_str(), &contents)) {
            sizeLine = "Taille : " + std::to_string(contents.size()) + " octets";
        } else {
            sizeLine = "Document introuvable";
        }
    }

    plat::Hwnd window =
        plat::CreateWindow(0, "CQuadterm", Title().c_str(), plat::kWsOverlappedWindow, 40, 40, 480,
                           140, plat::kNoWindow, 0);
    if (window == plat::kNoWindow) return 1;
    const plat::Dword label = plat::kWsChild | plat::kWsVisible | plat::kSsLeft;
    plat::CreateWindow(0, "Static", nameLine.c_str(), label, 16, 16, 440, 20, window, kNameId);
    plat::CreateWindow(0, "Static", sizeLine.c_str(), label, 16, 44, 440, 20, window, kSizeId);
    plat::ShowWindow(window, plat::kSwShowNormal);
    plat::UpdateWindow(window);

    plat::Msg msg;
    while (plat::GetMessage(&msg) > 0) {
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
    }
    return 0;
}
