// Shortcuts through the shell's link object (IShellLinkA) and its IPersistFile.
#include <string>

#include "platform/shell_link.h"
#include "platform/win32/late_shell_win.h"
#include "platform/win32/win32_headers.h"

namespace plat {

namespace {

const char kOle32[] = "ole32.dll";

// A shell link object with its IShellLinkA; false when COM's library cannot be had.
bool CreateShellLink(IShellLinkA** link) {
    const auto create = LateBound<decltype(&::CoCreateInstance)>(kOle32, "CoCreateInstance");
    return create != nullptr && SUCCEEDED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_IShellLinkA, reinterpret_cast<void**>(link)));
}

// COM for this thread, for the time of one call, unless the caller set it up already.
class CComForCall {
  public:
    explicit CComForCall(bool comReady) : m_started(false), m_ready(comReady) {
        if (comReady) return;
        const auto initialize = LateBound<decltype(&::CoInitialize)>(kOle32, "CoInitialize");
        m_started = initialize != nullptr && SUCCEEDED(initialize(nullptr));
        m_ready = m_started;
    }
    ~CComForCall() {
        if (!m_started) return;
        if (const auto end = LateBound<decltype(&::CoUninitialize)>(kOle32, "CoUninitialize"))
            end();
    }
    CComForCall(const CComForCall&) = delete;
    CComForCall& operator=(const CComForCall&) = delete;
    bool Ready() const { return m_ready; }

  private:
    bool m_started;
    bool m_ready;
};

// A shell link object with the two interfaces a shortcut is read and written through; whatever
// was obtained is released when it goes away, on every path out.
class CShellLinkObject {
  public:
    CShellLinkObject() = default;
    ~CShellLinkObject() {
        if (m_persistFile != nullptr) m_persistFile->Release();
        if (m_shellLink != nullptr) m_shellLink->Release();
    }
    CShellLinkObject(const CShellLinkObject&) = delete;
    CShellLinkObject& operator=(const CShellLinkObject&) = delete;

    // The object, and `linkPath` in the wide form IPersistFile takes.
    bool Open(const std::string& linkPath) {
        if (!CreateShellLink(&m_shellLink)) {
            m_shellLink = nullptr;
            return false;
        }
        if (FAILED(m_shellLink->QueryInterface(IID_IPersistFile,
                                               reinterpret_cast<void**>(&m_persistFile)))) {
            m_persistFile = nullptr;
            return false;
        }
        return ::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, m_widePath, MAX_PATH) != 0;
    }

    bool Save(const ShellLinkSettings& settings) {
        if (FAILED(m_shellLink->SetPath(settings.targetPath.c_str()))) return false;
        if (FAILED(m_shellLink->SetWorkingDirectory(settings.workingDirectory.c_str()))) {
            return false;
        }
        if (!settings.iconFile.empty() &&
            FAILED(m_shellLink->SetIconLocation(settings.iconFile.c_str(), settings.iconIndex))) {
            return false;
        }
        if (!settings.description.empty() &&
            FAILED(m_shellLink->SetDescription(settings.description.c_str()))) {
            return false;
        }
        if (!settings.arguments.empty() &&
            FAILED(m_shellLink->SetArguments(settings.arguments.c_str()))) {
            return false;
        }
        if (FAILED(m_shellLink->SetHotkey(settings.hotkey))) return false;
        if (FAILED(m_shellLink->SetShowCmd(settings.showCommand))) return false;
        return SUCCEEDED(m_persistFile->Save(m_widePath, TRUE));
    }

    bool ReadTarget(std::string* target) {
        if (FAILED(m_persistFile->Load(m_widePath, STGM_READ))) return false;
        char path[MAX_PATH] = {};
        // No resolving: the link's own path is wanted, even when its target is gone.
        if (FAILED(m_shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) return false;
        *target = path;
        return true;
    }

  private:
    IShellLinkA* m_shellLink = nullptr;
    IPersistFile* m_persistFile = nullptr;
    WCHAR m_widePath[MAX_PATH] = {};
};

}  // namespace

bool ReadShellLinkTarget(const std::string& linkPath, std::string* target, bool comReady) {
    if (target == nullptr) return false;
    CComForCall com(comReady);
    if (!com.Ready()) return false;
    // The object's interfaces go before COM does.
    CShellLinkObject link;
    return link.Open(linkPath) && link.ReadTarget(target);
}

bool SaveShellLink(const ShellLinkSettings& settings, const std::string& linkPath, bool comReady) {
    CComForCall com(comReady);
    if (!com.Ready()) return false;
    // The object's interfaces go before COM does.
    CShellLinkObject link;
    return link.Open(linkPath) && link.Save(settings);
}

}  // namespace plat
