// Starting programs on the simulated machine and watching the process list.
#include "platform/process.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/files.h"
#include "platform/sim/command_line.h"
#include "platform/sim/machine.h"
#include "tests/support/test_temp_folder.h"

namespace {

class SimProcesses : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string folder = testsupport::TestTempFolder("sim-process");
        ASSERT_FALSE(folder.empty());
        sim::Machine::Use(folder);
        plat::CreateDirectory("C:\\KIT");
        plat::CreateDirectory("C:\\Program Files");
        // The test program, installed on the machine under the names the kit uses.
        std::string host = TEST_CHILD_PATH;
        std::string windows = sim::Machine::Current().ToWindowsPath(host);
        ASSERT_TRUE(plat::CopyFile(windows.c_str(), "C:\\KIT\\ISIGNUP.EXE", false));
        ASSERT_TRUE(plat::CopyFile(windows.c_str(), "C:\\Program Files\\child.exe", false));
        ASSERT_TRUE(plat::SetCurrentDirectory("C:\\KIT"));
    }

    static std::vector<std::string> Lines(const char* path) {
        std::string text;
        EXPECT_TRUE(plat::ReadWholeFile(path, &text)) << path;
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }

    static bool Running(const std::string& fragment) {
        std::vector<std::string> names;
        EXPECT_TRUE(plat::ProcessSnapshot(&names));
        return std::any_of(names.begin(), names.end(), [&](std::string name) {
            for (char& c : name) c = sim::FoldUpper(c);
            return name.find(fragment) != std::string::npos;
        });
    }
};

TEST_F(SimProcesses, WaitingSpawnGivesTheExitCodeOrMinusOne) {
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\ISIGNUP.EXE", {"ISIGNUP.EXE", "exit", "7"}), 7);
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\isignup", {"isignup", "exit", "0"}), 0);
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\absent.exe", {"absent.exe"}), -1);
    plat::WriteWholeFile("C:\\KIT\\text.exe", "not a program");
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\text.exe", {"text.exe"}), -1);
}

TEST_F(SimProcesses, ChildSharesTheMachineAndTheCurrentDirectory) {
    ASSERT_EQ(plat::SpawnWait("ISIGNUP.EXE", {"ISIGNUP.EXE", "record", "out.txt", "a"}), 0);
    auto lines = Lines("C:\\KIT\\out.txt");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "C:\\KIT");
    EXPECT_EQ(lines[1], "a");
}

TEST_F(SimProcesses, SnapshotSeesAStartedProgramUntilItEnds) {
    // It runs until the test writes its file, however slow the machine.
    ASSERT_EQ(plat::SpawnNoWait("C:\\KIT\\ISIGNUP.EXE", {"ISIGNUP.EXE", "wait", "C:\\KIT\\go"}), 0);
    EXPECT_TRUE(Running("C:\\KIT\\ISIGNUP.EXE"));
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\go", ""));
    bool ended = false;
    for (int i = 0; i < 600 && !ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ended = !Running("ISIGNUP");
    }
    EXPECT_TRUE(ended) << "an ended child must not stay in the list";
    EXPECT_EQ(plat::SpawnNoWait("C:\\KIT\\absent.exe", {"absent.exe"}), -1);
}

TEST_F(SimProcesses, ProgramsOfAnotherMachineAreNotSeen) {
    ASSERT_EQ(plat::SpawnNoWait("C:\\KIT\\ISIGNUP.EXE", {"ISIGNUP.EXE", "wait", "C:\\KIT\\go"}), 0);
    EXPECT_TRUE(Running("ISIGNUP"));
    std::string first = sim::Machine::Current().Folder();
    sim::Machine::Use(testsupport::TestTempFolder("sim-process-other"));
    EXPECT_FALSE(Running("ISIGNUP")) << "a program started on " << first;
    sim::Machine::Use(first);
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\go", ""));
}

TEST_F(SimProcesses, WinExecSplitsTheLineAndSearchesTheCurrentDirectory) {
    EXPECT_GT(
        plat::WinExec("isignup record \"C:\\KIT\\w 1.txt\" \"two words\" x", plat::kSwShowDefault),
        31u);
    EXPECT_GT(plat::WinExec("C:\\Program Files\\child.exe record C:\\KIT\\w2.txt y",
                            plat::kSwShowDefault),
              31u);
    EXPECT_EQ(plat::WinExec("nothing-here.exe", plat::kSwShowDefault), 2u);
    EXPECT_EQ(plat::WinExec("", plat::kSwShowDefault), 2u);
    for (int i = 0; i < 100 && !(plat::CanOpenForReading("C:\\KIT\\w 1.txt") &&
                                 plat::CanOpenForReading("C:\\KIT\\w2.txt"));
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    auto first = Lines("C:\\KIT\\w 1.txt");
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[1], "two words");
    EXPECT_EQ(first[2], "x");
    auto second = Lines("C:\\KIT\\w2.txt");
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[1], "y");
}

TEST(CommandLine, SplitsWithTheRuntimeRules) {
    using V = std::vector<std::string>;
    EXPECT_EQ(sim::SplitCommandLine("  a  b\tc "), (V{"a", "b", "c"}));
    EXPECT_EQ(sim::SplitCommandLine("\"C:\\Program Files\\x.exe\" /auto"),
              (V{"C:\\Program Files\\x.exe", "/auto"}));
    EXPECT_EQ(sim::SplitCommandLine("a\\\\\"b c\" d"), (V{"a\\b c", "d"}));
    EXPECT_EQ(sim::SplitCommandLine("a\\\"b"), (V{"a\"b"}));
    EXPECT_EQ(sim::SplitCommandLine("C:\\dir\\ \"\""), (V{"C:\\dir\\", ""}));
    EXPECT_EQ(sim::SplitCommandLine(""), V{});
}

}  // namespace
