// ISIGNUP.EXE stand-in: takes the place of the platform's Internet sign-up program in our tests
// and in the demonstration kit. The connection wizard writes a sign-up file, starts this program
// with the file's path, watches the process list until it has ended, then looks whether the
// default dial-up connection changed. So this program records what it was given, shows a small
// window for a while, then (unless the file asks otherwise) makes the file's connection the
// default one.
//
// Exit codes: 0 after a run, 2 when the sign-up file cannot be read (nothing else is done).
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/app_main.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tools/isignup/signup_file.h"
#include "tools/isignup/signup_window.h"

namespace {

constexpr const char* kRecordKey = "Software\\Telvora\\ISIGNUP stand-in";
constexpr const char* kRemoteAccessKey = "RemoteAccess";
constexpr const char* kProfileValue = "InternetProfile";

// A key opened or created for writing, closed on leaving.
class WritableKey {
  public:
    WritableKey(plat::RegKey root, const char* subKey) {
        if (plat::RegCreateKey(root, subKey, &key_) != plat::kErrorSuccess) key_ = 0;
    }
    ~WritableKey() {
        if (key_ != 0) plat::RegCloseKey(key_);
    }
    WritableKey(const WritableKey&) = delete;
    WritableKey& operator=(const WritableKey&) = delete;

    void SetText(const char* name, const std::string& text) {
        if (key_ == 0) return;
        plat::RegSetValue(key_, name, plat::kRegSz,
                          reinterpret_cast<const std::uint8_t*>(text.c_str()),
                          static_cast<plat::Dword>(text.size() + 1));
    }
    // The DWORD value, or 0 when it is missing or of another type.
    plat::Dword Number(const char* name) {
        if (key_ == 0) return 0;
        plat::Dword type = 0;
        std::uint8_t data[4] = {};
        plat::Dword size = sizeof data;
        if (plat::RegQueryValue(key_, name, &type, data, &size) != plat::kErrorSuccess ||
            type != plat::kRegDword || size != sizeof data) {
            return 0;
        }
        plat::Dword value;
        std::memcpy(&value, data, sizeof value);
        return value;
    }
    void SetNumber(const char* name, plat::Dword value) {
        if (key_ == 0) return;
        std::uint8_t data[4];
        std::memcpy(data, &value, sizeof data);
        plat::RegSetValue(key_, name, plat::kRegDword, data, sizeof data);
    }

  private:
    plat::RegKey key_ = 0;
};

// What the program got and what it read, for tests to compare with what the wizard wrote. The
// values are written one by one; "Runs" comes last, so that a test waiting for it while the
// program runs finds the others already there.
void Record(const char* commandLine, const std::string& path, const isignup::SignupFile& file) {
    WritableKey key(plat::kHkeyCurrentUser, kRecordKey);
    key.SetText("CommandLine", commandLine != nullptr ? commandLine : "");
    key.SetText("File", path);
    key.SetText("Entry_Name", file.entryName);
    key.SetText("Phone_Number", file.phoneNumber);
    key.SetText("Name", file.userName);
    key.SetText("Password", file.password);
    key.SetText("Email_Name", file.emailName);
    key.SetText("POP_Logon_Name", file.popLogonName);
    key.SetText("Email_address", file.emailAddress);
    key.SetText("POP_Logon_Password", file.popLogonPassword);
    key.SetNumber("Runs", key.Number("Runs") + 1);
}

}  // namespace

int AppMain(const char* commandLine) {
    std::string path = isignup::AbsolutePath(isignup::PathFromCommandLine(commandLine));
    isignup::SignupFile file;
    bool readable = isignup::ReadSignupFile(path, &file);
    // Recorded before the wait, so that a test sees it while the program still runs.
    Record(commandLine, path, file);
    if (!readable) return 2;

    // Without a window the program still does its work: the registry is what the wizard reads.
    plat::Hwnd window = isignup::OpenSignupWindow(file.entryName);
    isignup::WaitHandlingMessages(file.outcome.delayMilliseconds);
    if (file.outcome.createProfile) {
        WritableKey remoteAccess(plat::kHkeyCurrentUser, kRemoteAccessKey);
        remoteAccess.SetText(kProfileValue, file.entryName);
    }
    if (window != plat::kNoWindow && plat::IsWindow(window)) plat::DestroyWindow(window);
    return 0;
}
