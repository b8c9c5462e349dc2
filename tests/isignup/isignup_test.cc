// The sign-up stand-in (tools/isignup): what it reads from the sign-up file, the window it
// shows, and the program started on the simulated machine as the connection wizard starts it:
// the path of the sign-up file as its one argument, then the process list watched until it has
// ended.
#include "tools/isignup/isignup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/message_wait.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_temp_folder.h"
#include "tools/isignup/signup_file.h"
#include "tools/isignup/signup_window.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::ReadValue;

constexpr const char* kProgram = "C:\\KIT\\ISIGNUP.EXE";
constexpr const char* kRecordKey = "Software\\Telvora\\ISIGNUP stand-in";

// A whole sign-up file as the wizard leaves it, with the stand-in's own key.
std::string SignupText(const std::string& entryName, const std::string& outcome) {
    std::string text;
    if (!entryName.empty()) text += "[Entry]\r\nEntry_Name=" + entryName + "\r\n";
    text +=
        "[Phone]\r\nPhone_Number=0836012345\r\n"
        "[User]\r\nName=jdupont\r\nPassword=secret\r\n"
        "[Internet_Mail]\r\nEmail_Name=jdupont\r\nPOP_Logon_Name=jdupont\r\n"
        "Email_address=jdupont@telvora.fr\r\nPOP_Logon_Password=courrier\r\n";
    if (!outcome.empty()) text += "[StandIn]\r\nOutcome=" + outcome + "\r\n";
    return text;
}

class IsignupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("isignup-test");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        sim::ui::Reset();
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT"));
        ASSERT_TRUE(plat::SetCurrentDirectory("C:\\KIT"));
        std::string program = sim::Machine::Current().ToWindowsPath(ISIGNUP_PATH);
        ASSERT_TRUE(plat::CopyFile(program.c_str(), kProgram, false));
    }

    void TearDown() override {
        // A stand-in still running would write into the folder while it goes.
        WaitUntilEnded(std::chrono::seconds(10));
        sim::ui::Reset();
    }

    // Whether a process whose name, in upper case, contains ISIGNUP runs: the wizard's test,
    // leaving out this test program, whose own name contains it too.
    static bool Running() {
        std::vector<std::string> names;
        EXPECT_TRUE(plat::ProcessSnapshot(&names));
        std::error_code ignored;
        const std::string self = sim::Machine::Current().ToWindowsPath(
            std::filesystem::read_symlink("/proc/self/exe", ignored).string());
        return std::any_of(names.begin(), names.end(), [&](std::string name) {
            if (name == self) return false;
            for (char& c : name) c = sim::FoldUpper(c);
            return name.find("ISIGNUP") != std::string::npos;
        });
    }

    // Polls as the wizard does (more often); false when it still runs at the limit.
    static bool WaitUntilEnded(Clock::duration limit) {
        auto end = Clock::now() + limit;
        while (Running()) {
            if (Clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    static void WriteFile(const char* path, const std::string& text) {
        ASSERT_TRUE(plat::WriteWholeFile(path, text)) << path;
    }

    // The wizard's start: the program path, then the sign-up file's full path.
    static int RunAndWait(const std::string& file) {
        return plat::SpawnWait(kProgram, {kProgram, file});
    }

    static std::string Recorded(const char* name) {
        testsupport::RegValue value = ReadValue(plat::kHkeyCurrentUser, kRecordKey, name);
        EXPECT_TRUE(value.present) << name;
        EXPECT_EQ(value.type, plat::kRegSz) << name;
        return value.Text();
    }

    static plat::Dword Runs() { return RecordedNumber("Runs"); }
    static plat::Dword RecordedNumber(const char* name) {
        testsupport::RegValue value = ReadValue(plat::kHkeyCurrentUser, kRecordKey, name);
        if (!value.present || value.type != plat::kRegDword || value.bytes.size() != 4) return 0;
        plat::Dword runs;
        std::memcpy(&runs, value.bytes.data(), sizeof runs);
        return runs;
    }

    static testsupport::RegValue Profile() {
        return ReadValue(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile");
    }

    std::string folder_;
};

// --- Reading the command line and the sign-up file -------------------------------------------

TEST(IsignupOutcome, DefaultsToCreatedAfterTheUsualDelay) {
    for (const char* text : {"", "created", "  Created  ", "CREATED", "bogus"}) {
        SCOPED_TRACE(text);
        isignup::Outcome outcome = isignup::ParseOutcome(text);
        EXPECT_TRUE(outcome.createProfile);
        EXPECT_EQ(outcome.delayMilliseconds, 1500u);
    }
    EXPECT_FALSE(isignup::ParseOutcome("unchanged").createProfile);
    EXPECT_FALSE(isignup::ParseOutcome(" Unchanged ,20").createProfile);
}

TEST(IsignupOutcome, DelayIsClampedAndAnythingButANumberGivesTheDefault) {
    EXPECT_EQ(isignup::ParseOutcome("created,300").delayMilliseconds, 300u);
    EXPECT_EQ(isignup::ParseOutcome("unchanged, 0 ").delayMilliseconds, 0u);
    EXPECT_EQ(isignup::ParseOutcome("created,60000").delayMilliseconds, 60000u);
    EXPECT_EQ(isignup::ParseOutcome("created,60001").delayMilliseconds, 60000u);
    EXPECT_EQ(isignup::ParseOutcome("created,99999999999999999999").delayMilliseconds, 60000u);
    EXPECT_EQ(isignup::ParseOutcome("created,-5").delayMilliseconds, 0u);
    EXPECT_EQ(isignup::ParseOutcome("created,+40").delayMilliseconds, 40u);
    for (const char* text : {"created,", "created,abc", "created,12ms", "created,-", ",,"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(isignup::ParseOutcome(text).delayMilliseconds, 1500u);
    }
}

TEST(IsignupArguments, TakesExactlyOneArgumentAfterTheProgram) {
    std::string path = "(untouched)";
    EXPECT_TRUE(
        isignup::SignupPathFromArguments({"ISIGNUP.EXE", "C:\\Mes Documents\\a.ins"}, &path));
    EXPECT_EQ(path, "C:\\Mes Documents\\a.ins");
    path = "(untouched)";
    EXPECT_FALSE(
        isignup::SignupPathFromArguments({"ISIGNUP.EXE", "C:\\Mes", "Documents\\a.ins"}, &path));
    EXPECT_FALSE(isignup::SignupPathFromArguments({"ISIGNUP.EXE"}, &path));
    EXPECT_FALSE(isignup::SignupPathFromArguments({}, &path));
    EXPECT_EQ(path, "(untouched)");
}

TEST_F(IsignupTest, RelativePathsAreTakenFromTheCurrentDirectory) {
    EXPECT_EQ(isignup::AbsolutePath("x.ins"), "C:\\KIT\\x.ins");
    EXPECT_EQ(isignup::AbsolutePath("C:\\A\\x.ins"), "C:\\A\\x.ins");
    EXPECT_EQ(isignup::AbsolutePath("\\A\\x.ins"), "\\A\\x.ins");
    EXPECT_EQ(isignup::AbsolutePath(""), "");
}

TEST_F(IsignupTest, ReadsEveryFieldAndCutsLongOnesLikeItsBuffers) {
    std::string longName(200, 'n');
    WriteFile("C:\\KIT\\a.ins", "[Entry]\r\nEntry_Name=Telvora Pro\r\n[User]\r\nName=" + longName +
                                    "\r\n[StandIn]\r\nOutcome=unchanged,20\r\n");
    isignup::SignupFile file;
    ASSERT_TRUE(isignup::ReadSignupFile("C:\\KIT\\a.ins", &file));
    EXPECT_EQ(file.entryName, "Telvora Pro");
    EXPECT_EQ(file.userName, std::string(127, 'n'));
    EXPECT_EQ(file.phoneNumber, "");
    EXPECT_EQ(file.popLogonPassword, "");
    EXPECT_FALSE(file.outcome.createProfile);
    EXPECT_EQ(file.outcome.delayMilliseconds, 20u);

    WriteFile("C:\\KIT\\b.ins", "[Entry]\r\nEntry_Name=\r\n");
    ASSERT_TRUE(isignup::ReadSignupFile("C:\\KIT\\b.ins", &file));
    EXPECT_EQ(file.entryName, "Telvora");
    EXPECT_TRUE(file.outcome.createProfile);
    EXPECT_EQ(file.outcome.delayMilliseconds, 1500u);

    EXPECT_FALSE(isignup::ReadSignupFile("C:\\KIT\\absent.ins", &file));
    EXPECT_EQ(file.entryName, "");
    EXPECT_FALSE(isignup::ReadSignupFile("", &file));
}

// --- The window and the whole run, in this process -------------------------------------------

TEST_F(IsignupTest, ShowsItsFrenchWindowWithTheConnectionName) {
    plat::Hwnd window = isignup::OpenSignupWindow("Accès Telvora");
    ASSERT_NE(window, plat::kNoWindow);
    EXPECT_EQ(sim::ui::FindTopLevel("CIsignupStandIn", "Inscription Telvora"), window);
    sim::ui::WindowInfo info = sim::ui::Info(window);
    EXPECT_TRUE(info.shown);
    EXPECT_GT(info.paintCount, 0) << "painted at once";
    // Windows-1252 bytes, as the literals of this file are.
    EXPECT_EQ(sim::ui::Info(plat::GetDlgItem(window, isignup::kWorkingTextId)).text,
              "Création de votre accès ...");
    EXPECT_EQ(sim::ui::Info(plat::GetDlgItem(window, isignup::kConnectionTextId)).text,
              "Connexion : Accès Telvora");
    for (plat::Hwnd child : sim::ui::Children(window)) {
        sim::ui::WindowInfo control = sim::ui::Info(child);
        EXPECT_EQ(control.className, "Static");
        EXPECT_TRUE(control.shown);
        EXPECT_NE(control.font.height, 0) << "the dialog font, not the system one";
    }
    // Inside the screen.
    EXPECT_GE(info.screenRect.left, 0);
    EXPECT_GE(info.screenRect.top, 0);
    EXPECT_LE(info.screenRect.right, 1024);
    EXPECT_LE(info.screenRect.bottom, 768);
    plat::DestroyWindow(window);
}

TEST_F(IsignupTest, WaitingTakesRealTimeHandlesMessagesAndStopsWhenTheWindowCloses) {
    plat::Hwnd window = isignup::OpenSignupWindow("Telvora");
    ASSERT_NE(window, plat::kNoWindow);
    int painted = sim::ui::Info(window).paintCount;
    plat::InvalidateRect(window, nullptr, true);
    auto start = Clock::now();
    kit::WaitHandlingMessages(120);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(120));
    EXPECT_GT(sim::ui::Info(window).paintCount, painted);

    // Closed by the user: the quit message ends the wait long before its time.
    plat::DestroyWindow(window);
    start = Clock::now();
    kit::WaitHandlingMessages(60000);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST_F(IsignupTest, AWholeRunLeavesNoWindowBehind) {
    WriteFile("C:\\KIT\\w.ins", SignupText("Accès Telvora", "created,0"));
    EXPECT_EQ(isignup::Run({kProgram, "C:\\KIT\\w.ins"}), 0);
    EXPECT_TRUE(sim::ui::TopLevelWindows().empty());
    EXPECT_EQ(Profile().Text(), "Accès Telvora");
    // A second run in the same process finds its class registered already.
    WriteFile("C:\\KIT\\w.ins", SignupText("Telvora Pro", "created,0"));
    EXPECT_EQ(isignup::Run({kProgram, "C:\\KIT\\w.ins"}), 0);
    EXPECT_EQ(Profile().Text(), "Telvora Pro");
    EXPECT_EQ(Runs(), 2u);
}

TEST_F(IsignupTest, AnUnreadableFileShowsNoWindow) {
    EXPECT_EQ(isignup::Run({kProgram, "C:\\KIT\\absent.ins"}), 2);
    EXPECT_TRUE(sim::ui::TopLevelWindows().empty());
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
    // Any other count of arguments is refused with a box, before anything is read.
    EXPECT_EQ(isignup::Run({kProgram}), 3);
    EXPECT_EQ(isignup::Run({kProgram, "C:\\KIT\\a", "b.ins"}), 3);
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 2u);
    EXPECT_EQ(sim::ui::MessageBoxes()[1].text,
              "Ce programme attend un seul argument : le chemin du fichier d'inscription. Il en "
              "a reçu 2.");
    EXPECT_EQ(sim::ui::MessageBoxes()[1].caption, "Inscription Telvora");
    EXPECT_FALSE(Profile().present);
}

// --- The program, started as the wizard starts it --------------------------------------------

TEST_F(IsignupTest, CreatedWritesTheConnectionAsTheDefaultOneAndRecordsWhatItGot) {
    WriteFile("C:\\KIT\\modele_0.ins", SignupText("Telvora Pro", "created,0"));
    ASSERT_EQ(RunAndWait("C:\\KIT\\modele_0.ins"), 0);
    testsupport::RegValue profile = Profile();
    ASSERT_TRUE(profile.present);
    EXPECT_EQ(profile.type, plat::kRegSz);
    EXPECT_EQ(profile.Text(), "Telvora Pro");

    EXPECT_EQ(RecordedNumber("ArgumentCount"), 2u);
    EXPECT_EQ(Recorded("File"), "C:\\KIT\\modele_0.ins");
    EXPECT_EQ(Recorded("Entry_Name"), "Telvora Pro");
    EXPECT_EQ(Recorded("Phone_Number"), "0836012345");
    EXPECT_EQ(Recorded("Name"), "jdupont");
    EXPECT_EQ(Recorded("Password"), "secret");
    EXPECT_EQ(Recorded("Email_Name"), "jdupont");
    EXPECT_EQ(Recorded("POP_Logon_Name"), "jdupont");
    EXPECT_EQ(Recorded("Email_address"), "jdupont@telvora.fr");
    EXPECT_EQ(Recorded("POP_Logon_Password"), "courrier");
    EXPECT_EQ(Runs(), 1u);
}

// The wizard's start hands a path with blanks over as one argument; more arguments are refused.
TEST_F(IsignupTest, APathWithBlanksArrivesWholeAndTwoArgumentsAreRefused) {
    ASSERT_TRUE(plat::CreateDirectory("C:\\Program Files"));
    WriteFile("C:\\Program Files\\telvora.ins", SignupText("Telvora Pro", "created,0"));
    ASSERT_EQ(RunAndWait("C:\\Program Files\\telvora.ins"), 0);
    EXPECT_EQ(RecordedNumber("ArgumentCount"), 2u);
    EXPECT_EQ(Recorded("File"), "C:\\Program Files\\telvora.ins");
    EXPECT_EQ(Profile().Text(), "Telvora Pro");

    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram, "C:\\Program", "Files\\telvora.ins"}), 3);
    EXPECT_EQ(RecordedNumber("ArgumentCount"), 3u);
    EXPECT_EQ(Runs(), 2u);
}

TEST_F(IsignupTest, WithoutAnEntryNameTheConnectionIsTelvoraAndMissingKeysAreEmpty) {
    WriteFile("C:\\KIT\\a.ins", "[StandIn]\r\nOutcome=created,0\r\n");
    ASSERT_EQ(RunAndWait("C:\\KIT\\a.ins"), 0);
    EXPECT_EQ(Profile().Text(), "Telvora");
    EXPECT_EQ(Recorded("Entry_Name"), "Telvora");
    for (const char* name : {"Phone_Number", "Name", "Password", "Email_Name", "POP_Logon_Name",
                             "Email_address", "POP_Logon_Password"}) {
        EXPECT_EQ(Recorded(name), "") << name;
    }
}

TEST_F(IsignupTest, UnchangedLeavesTheDefaultConnectionAlone) {
    WriteFile("C:\\KIT\\a.ins", SignupText("Telvora Pro", "unchanged,0"));
    ASSERT_EQ(RunAndWait("C:\\KIT\\a.ins"), 0);
    EXPECT_FALSE(Profile().present);
    EXPECT_EQ(Recorded("Entry_Name"), "Telvora Pro");

    ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile",
                                       "Ancienne"));
    ASSERT_EQ(RunAndWait("C:\\KIT\\a.ins"), 0);
    EXPECT_EQ(Profile().Text(), "Ancienne");
    // The next run that creates replaces the old connection.
    WriteFile("C:\\KIT\\a.ins", SignupText("Telvora Pro", "created,0"));
    ASSERT_EQ(RunAndWait("C:\\KIT\\a.ins"), 0);
    EXPECT_EQ(Profile().Text(), "Telvora Pro");
    EXPECT_EQ(Runs(), 3u);
}

TEST_F(IsignupTest, StaysInTheProcessListForItsDelayThenEnds) {
    WriteFile("C:\\KIT\\a.ins", SignupText("Telvora", "created,300"));
    auto start = Clock::now();
    ASSERT_EQ(plat::SpawnNoWait(kProgram, {kProgram, "C:\\KIT\\a.ins"}), 0);
    EXPECT_TRUE(Running());
    // Whenever it is seen ended, the connection was changed first: it never leaves early.
    while (Running()) {
        ASSERT_LT(Clock::now() - start, std::chrono::seconds(30)) << "still running";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    auto lasted = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(lasted.count(), 300) << "ended before its delay";
    EXPECT_EQ(Profile().Text(), "Telvora");
}

TEST_F(IsignupTest, TheRecordIsThereWhileItStillRunsAndTheProfileComesAfter) {
    WriteFile("C:\\KIT\\a.ins", SignupText("Telvora Pro", "created,2000"));
    ASSERT_EQ(plat::SpawnNoWait(kProgram, {kProgram, "C:\\KIT\\a.ins"}), 0);
    auto limit = Clock::now() + std::chrono::seconds(5);
    // The values are written one by one; "Runs" comes last. Looked at in this order, the
    // record then the profile then the process list: the profile still absent once the record
    // is there proves the order, and the program then still runs (it changes the profile
    // before it ends).
    while (Runs() == 0 && Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Runs(), 1u);
    EXPECT_FALSE(Profile().present) << "written only once its time has passed";
    EXPECT_TRUE(Running());
    EXPECT_EQ(Recorded("File"), "C:\\KIT\\a.ins");
    EXPECT_EQ(Recorded("Name"), "jdupont");
    ASSERT_TRUE(WaitUntilEnded(std::chrono::seconds(10)));
    EXPECT_EQ(Profile().Text(), "Telvora Pro");
}

TEST_F(IsignupTest, AMissingFileEndsWithTwoAndLeavesTheProfileAlone) {
    auto start = Clock::now();
    EXPECT_EQ(RunAndWait("C:\\KIT\\absent.ins"), 2);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << "it does not wait";
    EXPECT_FALSE(Profile().present);
    EXPECT_EQ(Recorded("File"), "C:\\KIT\\absent.ins");
    for (const char* name : {"Entry_Name", "Phone_Number", "Name", "Password", "Email_Name",
                             "POP_Logon_Name", "Email_address", "POP_Logon_Password"}) {
        EXPECT_EQ(Recorded(name), "") << name;
    }
    EXPECT_EQ(Runs(), 1u);

    // A folder is no sign-up file; no argument at all is refused.
    EXPECT_EQ(RunAndWait("C:\\KIT"), 2);
    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram}), 3);
    EXPECT_EQ(Recorded("File"), "");
    EXPECT_EQ(RecordedNumber("ArgumentCount"), 1u);
    EXPECT_FALSE(Profile().present);
    EXPECT_EQ(Runs(), 3u);
}

TEST_F(IsignupTest, ARelativePathIsTheChildsCurrentDirectorysFile) {
    WriteFile("C:\\KIT\\a.ins", SignupText("Telvora Pro", "created,0"));
    ASSERT_EQ(RunAndWait("a.ins"), 0);
    EXPECT_EQ(RecordedNumber("ArgumentCount"), 2u);
    EXPECT_EQ(Recorded("File"), "C:\\KIT\\a.ins");
    EXPECT_EQ(Profile().Text(), "Telvora Pro");
}

TEST_F(IsignupTest, AccentedValuesArriveAsTheirWindows1252Bytes) {
    WriteFile("C:\\KIT\\a.ins",
              "[Entry]\r\nEntry_Name=Accès Télé\r\n[User]\r\nName=Hélène\r\n"
              "[StandIn]\r\nOutcome=created,0\r\n");
    ASSERT_EQ(RunAndWait("C:\\KIT\\a.ins"), 0);
    EXPECT_EQ(Profile().Text(), "Accès Télé");
    EXPECT_EQ(Recorded("Name"), "Hélène");
    EXPECT_EQ(std::string("è"), "\xE8") << "this file's literals are Windows-1252";
}

}  // namespace
