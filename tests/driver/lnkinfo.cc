// lnkinfo.exe LINK-FILE: prints what a shell shortcut (.lnk) holds, as the shell itself reads it
// back, so that a test can check a shortcut written by the kit wizard. One line each, in the
// ANSI code page: target=, workdir=, description=, icon=<file>,<index>, show=<n>, arguments=.
//
// Exit codes: 0 read, 1 the shortcut cannot be loaded, 2 no argument.
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

namespace {

// Releases a COM interface when leaving the scope, on every way out.
template <typename T>
class Held {
  public:
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (m_pointer != nullptr) m_pointer->Release();
    }
    T** Out() { return &m_pointer; }
    T* operator->() const { return m_pointer; }
    T* Get() const { return m_pointer; }

  private:
    T* m_pointer = nullptr;
};

int Print(const char* linkPath) {
    Held<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Out())))) {
        std::fprintf(stderr, "lnkinfo: no shell link object\n");
        return 1;
    }
    Held<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) {
        std::fprintf(stderr, "lnkinfo: the shell link cannot be loaded from a file\n");
        return 1;
    }
    // IPersistFile takes a wide path; the argument is in the ANSI code page.
    WCHAR widePath[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0 ||
        FAILED(file->Load(widePath, STGM_READ))) {
        std::fprintf(stderr, "lnkinfo: cannot load %s\n", linkPath);
        return 1;
    }

    char text[MAX_PATH * 2] = {};
    WIN32_FIND_DATAA found = {};
    // SLGP_RAWPATH: the path as stored, not one the shell would look for elsewhere.
    if (FAILED(link->GetPath(text, sizeof text, &found, SLGP_RAWPATH))) text[0] = '\0';
    std::printf("target=%s\n", text);
    text[0] = '\0';
    if (FAILED(link->GetWorkingDirectory(text, sizeof text))) text[0] = '\0';
    std::printf("workdir=%s\n", text);
    text[0] = '\0';
    if (FAILED(link->GetDescription(text, sizeof text))) text[0] = '\0';
    std::printf("description=%s\n", text);
    text[0] = '\0';
    int iconIndex = 0;
    if (FAILED(link->GetIconLocation(text, sizeof text, &iconIndex))) text[0] = '\0';
    std::printf("icon=%s,%d\n", text, iconIndex);
    int show = 0;
    if (FAILED(link->GetShowCmd(&show))) show = -1;
    std::printf("show=%d\n", show);
    text[0] = '\0';
    if (FAILED(link->GetArguments(text, sizeof text))) text[0] = '\0';
    std::printf("arguments=%s\n", text);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lnkinfo LINK-FILE\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        std::fprintf(stderr, "lnkinfo: COM cannot start\n");
        return 1;
    }
    const int result = Print(argv[1]);
    CoUninitialize();
    return result;
}
