// ISIGNUP.EXE stand-in: takes the place of the platform's Internet sign-up program in our tests
// and in the demonstration kit. The connection wizard writes a sign-up file, starts this program
// with the file's path, watches the process list until it has ended, then looks whether the
// default dial-up connection changed. So this program records what it was given, shows a small
// window for a while, then (unless the file asks otherwise) makes the file's connection the
// default one.
//
// Exit codes: 0 after a run, 2 when the sign-up file cannot be read, 3 when it was not given
// exactly one argument (nothing else is done in both cases).
#include "tools/isignup/isignup.h"

#include <string>

#include "common/cle_registre.h"
#include "common/message_wait.h"
#include "platform/window.h"
#include "tools/isignup/signup_file.h"
#include "tools/isignup/signup_window.h"

namespace {

constexpr const char* kRecordKey = "Software\\Telvora\\ISIGNUP stand-in";
constexpr const char* kRemoteAccessKey = "RemoteAccess";
constexpr const char* kProfileValue = "InternetProfile";

// What the program got and what it read, for tests to compare with what the wizard wrote. The
// values are written one by one; "Runs" comes last, so that a test waiting for it while the
// program runs finds the others already there.
void Record(std::size_t argumentCount, const std::string& path, const isignup::SignupFile& file) {
    CCleRegistre key(plat::kHkeyCurrentUser, kRecordKey, true);
    key.SetDword("ArgumentCount", static_cast<plat::Dword>(argumentCount));
    key.SetString("File", path.c_str());
    key.SetString("Entry_Name", file.entryName.c_str());
    key.SetString("Phone_Number", file.phoneNumber.c_str());
    key.SetString("Name", file.userName.c_str());
    key.SetString("Password", file.password.c_str());
    key.SetString("Email_Name", file.emailName.c_str());
    key.SetString("POP_Logon_Name", file.popLogonName.c_str());
    key.SetString("Email_address", file.emailAddress.c_str());
    key.SetString("POP_Logon_Password", file.popLogonPassword.c_str());
    plat::Dword runs = 0;
    if (!key.QueryDword("Runs", &runs)) runs = 0;
    key.SetDword("Runs", runs + 1);
}

// A real sign-up program also sets up the subscriber's mail from the file: here, an account
// named after the connection that becomes the default mail account, so that the wizard's later
// steps find the subscriber's mail user name where the mail client keeps it.
void CreateMailAccount(const isignup::SignupFile& file) {
    if (file.emailAddress.empty()) return;
    const std::string manager = "Software\\Microsoft\\Internet Account Manager";
    CCleRegistre account(plat::kHkeyCurrentUser,
                         (manager + "\\Accounts\\" + file.entryName).c_str(), true);
    account.SetString("Account Name", file.entryName.c_str());
    account.SetString("POP3 User Name", file.popLogonName.c_str());
    account.SetString("SMTP Email Address", file.emailAddress.c_str());
    CCleRegistre defaults(plat::kHkeyCurrentUser, manager.c_str(), true);
    defaults.SetString("Default Mail Account", file.entryName.c_str());
}

}  // namespace

namespace isignup {

int Run(const std::vector<std::string>& arguments) {
    std::string path;
    if (!SignupPathFromArguments(arguments, &path)) {
        Record(arguments.size(), "", SignupFile());
        // The platform's program takes one sign-up file: a path cut at a blank would be
        // another file, and the connection made from it the wrong one.
        std::string text =
            "Ce programme attend un seul argument : le chemin du fichier "
            "d'inscription. Il en a reçu " +
            std::to_string(arguments.empty() ? 0 : arguments.size() - 1) + ".";
        plat::MessageBox(0, text.c_str(), kWindowTitle, plat::kMbOk | plat::kMbIconStop);
        return 3;
    }
    SignupFile file;
    bool readable = ReadSignupFile(path, &file);
    // Recorded before the wait, so that a test sees it while the program still runs.
    Record(arguments.size(), path, file);
    if (!readable) return 2;

    // Without a window the program still does its work: the registry is what the wizard reads.
    plat::Hwnd window = OpenSignupWindow(file.entryName);
    kit::WaitHandlingMessages(file.outcome.delayMilliseconds);
    if (file.outcome.createProfile) {
        CCleRegistre remoteAccess(plat::kHkeyCurrentUser, kRemoteAccessKey, true);
        remoteAccess.SetString(kProfileValue, file.entryName.c_str());
        CreateMailAccount(file);
    }
    if (window != plat::kNoWindow && plat::IsWindow(window)) plat::DestroyWindow(window);
    return 0;
}

}  // namespace isignup
