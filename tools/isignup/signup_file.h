// What the sign-up stand-in reads: the sign-up file's path from its command line, the fields
// the connection wizard wrote into the file, and the [StandIn] key through which tests choose
// what the stand-in does.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace isignup {

// The connection name used when the file names none.
constexpr const char* kDefaultEntryName = "Telvora";
// How long the stand-in stays running when the file does not say.
constexpr plat::Dword kDefaultDelayMilliseconds = 1500;
constexpr plat::Dword kMaxDelayMilliseconds = 60000;

// What the stand-in does once its time has passed.
struct Outcome {
    // True: it writes the connection name as the default dial-up connection; false: it leaves
    // that value alone, as a sign-up abandoned by the user would.
    bool createProfile = true;
    plat::Dword delayMilliseconds = kDefaultDelayMilliseconds;
};

// "<outcome>[,<milliseconds>]": "created" or "unchanged" (in any letter case; an empty or
// unknown word counts as "created"), then a delay clamped to 0..60000; a delay that is not a
// number gives the default.
Outcome ParseOutcome(const std::string& text);

// The sign-up file's path from the program's arguments (argv[0] the program itself): exactly
// one argument after the program, made absolute (AbsolutePath). False for any other count.
bool SignupPathFromArguments(const std::vector<std::string>& arguments, std::string* path);

// A path the private-profile functions take as it is: a bare name would send them to the
// Windows directory, so a relative path is put under the current directory.
std::string AbsolutePath(const std::string& path);

struct SignupFile {
    std::string entryName;  // [Entry] Entry_Name, the default when missing or empty
    std::string phoneNumber;
    std::string userName;
    std::string password;
    std::string emailName;
    std::string popLogonName;
    std::string emailAddress;
    std::string popLogonPassword;
    Outcome outcome;
};

// Reads every field through the private-profile functions; a missing key reads as the empty
// text. False, and empty fields, when the file cannot be opened for reading.
bool ReadSignupFile(const std::string& path, SignupFile* out);

}  // namespace isignup
