// The videotex plug-in's installation and removal: the two terminal files copied next to the
// web browser, the ".vtx" document type and its MIME type registered under HKEY_CLASSES_ROOT.
// Every action is reported as one line drawn in the log window.
#pragma once

#include <cstddef>

#include "platform/window.h"

namespace plug {

class PluginSetup {
  public:
    PluginSetup();

    // Copies the terminal files and registers them; when the plug-in is registered already,
    // only refreshes the files where the registered command points.
    // True when every copy and registry write succeeded.
    bool Install(plat::Hwnd window);
    // Deletes the terminal files and the plug-in's registry keys.
    void Remove(plat::Hwnd window);
    // Draws `text` as the next line of the log window.
    void Log(const char* text, plat::Hwnd window);

  private:
    // Reads the registered open command's default value into `command` and logs what was
    // found; true when the command key exists. `whole` tells whether the value fitted.
    bool ReadRegisteredCommand(plat::Hwnd window, char* command, std::size_t size, bool* whole);

  public:
    int m_logY = 0;
    char m_exeName[128];
    char m_iniName[128];
    char m_mimeKey[128];
    char m_extKey[128];
    char m_fileTypeKey[128];
    char m_commandKey[128];
    char m_browserKey[128];
};

}  // namespace plug
