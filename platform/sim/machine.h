// The simulated Windows 98 machine. Its whole state lives in one folder, so that several
// processes share it and a test makes a fresh one in a temporary directory:
//   <folder>/drive_c/     drive C: (Windows directory C:\WINDOWS, desktop C:\WINDOWS\Bureau)
//   <folder>/system.reg   the registry, in the REGEDIT4 format
//   <folder>/machine.ini  platform version, screen size and dpi
// Drive Z: is the host root, as under Wine, so the host's current directory has a Windows form.
#pragma once

#include <string>

#include "platform/types.h"

namespace sim {

struct MachineSettings {
    plat::Dword major = 4;
    plat::Dword minor = 10;
    plat::Dword build = 2222;
    plat::Dword platformId = 1;
    std::string servicePack = " A ";
    // Whether KERNEL32 exports GetVersionExA (the first Windows NT did not).
    bool hasGetVersionEx = true;
    int screenWidth = 1024;
    int screenHeight = 768;
    int dpiX = 96;
    int dpiY = 96;
};

class Machine {
  public:
    // The machine of this process: the folder named by the environment variable
    // SIMWIN_MACHINE, or the one chosen last by Use(). Without either, a machine folder under
    // the system's temporary directory, made once per process.
    static Machine& Current();
    // Makes `folder` the machine of this process, creating its layout when missing. The
    // current directory of the process becomes C:\ unless the host's own current directory
    // lies on one of the machine's drives.
    static Machine& Use(const std::string& folder);

    const std::string& Folder() const { return folder_; }
    std::string RegistryFile() const { return folder_ + "/system.reg"; }

    // Turns a Windows path (absolute, drive-relative or relative to the current directory;
    // backslashes or slashes) into a host path. Existing components are matched without
    // regard to case; missing ones are kept as written. False for a path on a drive the
    // machine does not have.
    bool ToHostPath(const std::string& windowsPath, std::string* hostPath) const;
    // The Windows form of a host path: C:\... inside drive C, Z:\... elsewhere.
    std::string ToWindowsPath(const std::string& hostPath) const;
    // Makes a Windows path absolute and clean: drive letter upper case, backslashes, "." and
    // ".." resolved, no trailing backslash except after the drive.
    std::string FullPath(const std::string& windowsPath) const;

    const std::string& CurrentDirectory() const { return currentDirectory_; }
    // False when the directory does not exist.
    bool SetCurrentDirectory(const std::string& windowsPath);

    // The running program's full Windows path. By default the Windows form of the host
    // executable; tests and programs run in-process set their own.
    const std::string& ModulePath() const { return modulePath_; }
    void SetModulePath(const std::string& windowsPath) { modulePath_ = windowsPath; }

    std::string WindowsDirectory() const { return "C:\\WINDOWS"; }
    std::string DesktopDirectory() const { return "C:\\WINDOWS\\Bureau"; }
    std::string TempDirectory() const { return "C:\\WINDOWS\\TEMP"; }

    const MachineSettings& Settings() const { return settings_; }
    // Stores the settings in the machine folder, for this process and the ones it starts.
    void SetSettings(const MachineSettings& settings);

  private:
    explicit Machine(const std::string& folder);
    void LoadSettings();

    std::string folder_;
    std::string currentDirectory_;
    std::string modulePath_;
    MachineSettings settings_;
};

// Letter case folding of the Windows-1252 code page, as the platform compares names.
char FoldUpper(char c);
bool EqualsNoCase(const std::string& a, const std::string& b);

// The 8.3 form of one file name: kept when it already is one, else the first six legal
// characters in upper case, "~1" and the first three characters of the extension.
std::string ShortName(const std::string& name);

}  // namespace sim
