// Starting programs and seeing them in the process list, the same on the simulated machine and
// on the real platform. The program started is test_child.exe, built beside this test.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "tests/contract/contract_env.h"
#include "tests/programs/argument_cases.h"

namespace {

using contract::Upper;

class ProcessContract : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = contract::FreshFolder();
        char self[260];
        plat::GetModuleFileName(self, sizeof self);
        std::string path(self);
        std::string child = path.substr(0, path.rfind('\\') + 1) + "test_child.exe";
        // Under the sign-up program's name, as the wizard's wait looks for it.
        ASSERT_TRUE(plat::CopyFile(child.c_str(), Program().c_str(), false)) << child;
    }
    std::string Program() const { return folder_ + "\\ISIGNUP.EXE"; }
    static bool Listed(const std::string& fragment) {
        std::vector<std::string> names;
        EXPECT_TRUE(plat::ProcessSnapshot(&names));
        return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return Upper(name).find(fragment) != std::string::npos;
        });
    }
    std::string folder_;
};

TEST_F(ProcessContract, WaitingStartGivesTheExitCode) {
    EXPECT_EQ(plat::SpawnWait(Program().c_str(), {Program(), "exit", "7"}), 7);
    EXPECT_EQ(plat::SpawnWait((folder_ + "\\absent.exe").c_str(), {"absent.exe"}), -1);
}

// The program runs until the test writes its file: it cannot end before the test has looked,
// however slow the machine.
TEST_F(ProcessContract, ASignUpProgramIsListedWhileItRuns) {
    ASSERT_TRUE(plat::ProcessSnapshotAvailable());
    std::string go = folder_ + "\\go.txt";
    ASSERT_EQ(plat::SpawnNoWait(Program().c_str(), {Program(), "wait", go}), 0);
    EXPECT_TRUE(Listed("ISIGNUP"));
    ASSERT_TRUE(plat::WriteWholeFile(go.c_str(), "go"));
    bool ended = false;
    for (int i = 0; i < 600 && !ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ended = !Listed("ISIGNUP");
    }
    EXPECT_TRUE(ended);
}

TEST_F(ProcessContract, AProgramStartedWithoutWaitingIsRunningUntilItEnds) {
    plat::ProcessHandle started = 0;
    std::string go = folder_ + "\\go.txt";
    ASSERT_EQ(plat::SpawnNoWait(Program().c_str(), {Program(), "wait", go}, &started), 0);
    ASSERT_NE(started, 0);
    EXPECT_TRUE(plat::ProcessStillRunning(started));
    EXPECT_TRUE(plat::ProcessStillRunning(started)) << "asked twice, still running";
    ASSERT_TRUE(plat::WriteWholeFile(go.c_str(), "go"));
    bool ended = false;
    for (int i = 0; i < 1200 && !ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        ended = !plat::ProcessStillRunning(started);
    }
    EXPECT_TRUE(ended);
    // Once seen ended, it stays ended, and the process list agrees.
    EXPECT_FALSE(plat::ProcessStillRunning(started));
    EXPECT_FALSE(Listed("ISIGNUP"));
    plat::CloseProcessHandle(started);
}

TEST_F(ProcessContract, AProgramThatEndsAtOnceIsNotRunning) {
    plat::ProcessHandle started = 0;
    ASSERT_EQ(plat::SpawnNoWait(Program().c_str(), {Program(), "exit", "3"}, &started), 0);
    // The process list sees it gone (the simulated machine reaps it there), and then so does
    // its handle.
    bool gone = false;
    for (int i = 0; i < 1200 && !gone; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        gone = !Listed("ISIGNUP");
    }
    EXPECT_TRUE(gone) << "a program that ended stays in the process list";
    EXPECT_FALSE(plat::ProcessStillRunning(started));
    plat::CloseProcessHandle(started);
}

// Both start functions hand every argument over whole, whatever blanks, quotes and backslashes
// it holds, to a program whose own path holds a blank: the program's C runtime gives it
// exactly the argv it was started with.
TEST_F(ProcessContract, EveryArgumentReachesTheProgramWhole) {
    const std::string folder = folder_ + "\\avec blanc";
    ASSERT_TRUE(plat::CreateDirectory(folder.c_str()));
    const std::string program = folder + "\\test child.exe";
    ASSERT_TRUE(plat::CopyFile(Program().c_str(), program.c_str(), false));
    std::vector<std::string> argv = {program, "arguments"};
    argv.insert(argv.end(), std::begin(argcases::kArguments), std::end(argcases::kArguments));
    EXPECT_EQ(plat::SpawnWait(program.c_str(), argv), 0);

    const std::string out = folder + "\\out.txt";
    argv[1] = "record";
    argv.insert(argv.begin() + 2, out);
    ASSERT_EQ(plat::SpawnNoWait(program.c_str(), argv), 0);
    std::string text;
    for (int i = 0; i < 200 && !plat::ReadWholeFile(out.c_str(), &text); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    std::string expected = text.substr(0, text.find('\n') + 1);
    for (const char* argument : argcases::kArguments) expected += std::string(argument) + "\n";
    EXPECT_EQ(text, expected);
}

TEST_F(ProcessContract, AProgramThatCannotStartLeavesTheHandleAlone) {
    plat::ProcessHandle started = 12345;
    EXPECT_EQ(plat::SpawnNoWait((folder_ + "\absent.exe").c_str(), {"absent.exe"}, &started), -1);
    EXPECT_EQ(started, 12345);
}

TEST_F(ProcessContract, WinExecStartsACommandLineWithArguments) {
    std::string out = folder_ + "\\out.txt";
    std::string line = "\"" + Program() + "\" record " + out + " \"deux mots\"";
    EXPECT_GT(plat::WinExec(line.c_str(), plat::kSwShowDefault), 31u);
    std::string text;
    for (int i = 0; i < 200 && !plat::ReadWholeFile(out.c_str(), &text); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_NE(text.find("\ndeux mots\n"), std::string::npos) << text;
    EXPECT_LE(plat::WinExec((folder_ + "\\absent.exe").c_str(), plat::kSwShowDefault), 31u);
}

}  // namespace
