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

// The settings of one shortcut and the two interfaces it is written with; whatever was
// obtained is released when the writer goes away, on every path out.
class CShellLinkWriter {
  public:
    explicit CShellLinkWriter(const ShellLinkSettings& settings) : m_settings(settings) {}
    ~CShellLinkWriter() {
        if (m_persistFile != nullptr) m_persistFile->Release();
        if (m_shellLink != nullptr) m_shellLink->Release();
    }
    CShellLinkWriter(const CShellLinkWriter&) = delete;
    CShellLinkWriter& operator=(const CShellLinkWriter&) = delete;

    bool Save(const std::string& linkPath) {
        if (!CreateShellLink(&m_shellLink)) {
            m_shellLink = nullptr;
            return false;
        }
        if (FAILED(m_shellLink->QueryInterface(IID_IPersistFile,
                                               reinterpret_cast<void**>(&m_persistFile)))) {
            m_persistFile = nullptr;
            return false;
        }
        if (FAILED(m_shellLink->SetPath(m_settings.targetPath.c_str()))) return false;
        if (FAILED(m_shellLink->SetWorkingDirectory(m_settings.workingDirectory.c_str()))) {
            return false;
        }
        if (!m_settings.iconFile.empty() &&
            FAILED(
                m_shellLink->SetIconLocation(m_settings.iconFile.c_str(), m_settings.iconIndex))) {
            return false;
        }
        if (!m_settings.description.empty() &&
            FAILED(m_shellLink->SetDescription(m_settings.description.c_str()))) {
            return false;
        }
        if (!m_settings.arguments.empty() &&
            FAILED(m_shellLink->SetArguments(m_settings.arguments.c_str()))) {
            return false;
        }
        if (FAILED(m_shellLink->SetHotkey(m_settings.hotkey))) return false;
        if (FAILED(m_shellLink->SetShowCmd(m_settings.showCommand))) return false;

        WCHAR widePath[MAX_PATH] = {};
        if (::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0) {
            return false;
        }
        return SUCCEEDED(m_persistFile->Save(widePath, TRUE));
    }

  private:
    const ShellLinkSettings& m_settings;
    IShellLinkA* m_shellLink = nullptr;
    IPersistFile* m_persistFile = nullptr;
};

// The two interfaces a shortcut is read through, released on every path out.
class CShellLinkReader {
  public:
    CShellLinkReader() = default;
    ~CShellLinkReader() {
        if (m_persistFile != nullptr) m_persistFile->Release();
        if (m_shellLink != nullptr) m_shellLink->Release();
    }
    CShellLinkReader(const CShellLinkReader&) = delete;
    CShellLinkReader& operator=(const CShellLinkReader&) = delete;

    bool Read(const std::string& linkPath, std::string* target) {
        if (!CreateShellLink(&m_shellLink)) {
            m_shellLink = nullptr;
            return false;
        }
        if (FAILED(m_shellLink->QueryInterface(IID_IPersistFile,
                                               reinterpret_cast<void**>(&m_persistFile)))) {
            m_persistFile = nullptr;
            return false;
        }
        WCHAR widePath[MAX_PATH] = {};
        if (::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0) {
            return false;
        }
        if (FAILED(m_persistFile->Load(widePath, STGM_READ))) return false;
        char path[MAX_PATH] = {};
        // No resolving: the link's own path is wanted, even when its target is gone.
        if (FAILED(m_shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) return false;
        *target = path;
        return true;
    }

  private:
    IShellLinkA* m_shellLink = nullptr;
    IPersistFile* m_persistFile = nullptr;
};

}  // namespace

bool ReadShellLinkTarget(const std::string& linkPath, std::string* target, bool comReady) {
    if (target == nullptr) return false;
    CComForCall com(comReady);
    if (!com.Ready()) return false;
    // The reader's interfaces go before COM does.
    CShellLinkReader reader;
    return reader.Read(linkPath, target);
}

bool SaveShellLink(const ShellLinkSettings& settings, const std::string& linkPath, bool comReady) {
    CComForCall com(comReady);
    if (!com.Ready()) return false;
    // The writer's interfaces go before COM does.
    CShellLinkWriter writer(settings);
    return writer.Save(linkPath);
}

}  // namespace plat
