// Faults injected into the simulated machine through SIMWIN_FAULT: which operation fails, what
// it answers, what it leaves behind, and that the count is the machine's, not a process's.
#include "platform/sim/fault_switch.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/message_box_log.h"
#include "platform/sim/registry_store.h"
#include "platform/window.h"
#include "tests/robustness/temp_machine.h"

namespace {

using Counts = std::array<std::uint64_t, sim::kFaultKindCount>;

class FaultSwitch : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT"));
        std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
        ASSERT_TRUE(plat::CopyFile(child.c_str(), "C:\\KIT\\child.exe", false));
        ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "old"));
        ASSERT_TRUE(plat::SetCurrentDirectory("C:\\KIT"));
    }
    void TearDown() override { unsetenv("SIMWIN_FAULT"); }

    static void Ask(const char* plan) { setenv("SIMWIN_FAULT", plan, 1); }
    Counts Counted() const { return sim::FaultCounts(folder_); }
    static std::string Read(const char* path) {
        std::string text;
        return plat::ReadWholeFile(path, &text) ? text : "(absent)";
    }
    std::string Log() const {
        std::ifstream in(folder_ + "/fault-log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static plat::Long SetText(const char* name, const char* value) {
        plat::RegKey key = 0;
        plat::Long result = plat::RegCreateKey(plat::kHkeyCurrentUser, "Software\\Test", &key);
        if (result != plat::kErrorSuccess) return result;
        result = plat::RegSetValue(key, name, plat::kRegSz,
                                   reinterpret_cast<const std::uint8_t*>(value), 0);
        plat::RegCloseKey(key);
        return result;
    }
    static std::string QueryText(const char* name) {
        plat::RegKey key = 0;
        if (plat::RegOpenKey(plat::kHkeyCurrentUser, "Software\\Test", plat::kKeyRead, &key) != 0) {
            return "(no key)";
        }
        char buffer[64] = {};
        plat::Dword size = sizeof buffer;
        plat::Long result =
            plat::RegQueryValue(key, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer), &size);
        plat::RegCloseKey(key);
        return result == plat::kErrorSuccess ? buffer : "(absent)";
    }

    robustness::TempMachineFolder machine_{"sim-fault"};
    const std::string& folder_ = machine_.Path();
};

TEST_F(FaultSwitch, WithoutTheVariableNothingIsCountedNorFails) {
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "new"));
    EXPECT_EQ(Counted(), Counts{});
    Ask("write:one");
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "newer"));
    Ask("disk:1");
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "newest"));
    EXPECT_EQ(Counted(), Counts{});
}

TEST_F(FaultSwitch, CountingModeCountsEveryKindAcrossTheMachinesProcesses) {
    Ask("count");
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "new"));
    EXPECT_TRUE(plat::WritePrivateProfileString("S", "K", "V", "C:\\KIT\\b.ini"));
    EXPECT_TRUE(plat::CopyFile("C:\\KIT\\a.txt", "C:\\KIT\\c.txt", false));
    EXPECT_TRUE(plat::MoveFile("C:\\KIT\\c.txt", "C:\\KIT\\d.txt"));
    EXPECT_EQ(SetText("V", "x"), plat::kErrorSuccess);
    // The child writes through its own process: one more write, in the same count.
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\child.exe", {"child.exe", "record", "C:\\KIT\\r.txt"}), 0);
    EXPECT_EQ(Counted(), (Counts{3, 1, 1, 2, 1}));
    std::string log = Log();
    EXPECT_NE(log.find("write 1 "), std::string::npos) << log;
    EXPECT_NE(log.find("write 3 child.exe C:\\KIT\\r.txt\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("FAILED"), std::string::npos) << log;
}

// As on Windows, where the file is truncated when opened, then written: a whole-file write
// that fails leaves the file cut, neither the old contents nor the new.
TEST_F(FaultSwitch, ATransientWriteFaultFailsThatWriteOnlyAndLeavesTheFileCut) {
    Ask("write:2");
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "first"));
    EXPECT_FALSE(plat::WriteWholeFile("C:\\KIT\\a.txt", "second"));
    EXPECT_EQ(Read("C:\\KIT\\a.txt"), "sec");
    EXPECT_TRUE(plat::WritePrivateProfileString("S", "K", "V", "C:\\KIT\\b.ini"));
    EXPECT_EQ(Counted()[0], 3u);
    EXPECT_NE(Log().find("write 2 "), std::string::npos);
    EXPECT_NE(Log().find("C:\\KIT\\a.txt FAILED\n"), std::string::npos) << Log();
}

TEST_F(FaultSwitch, APermanentProfileWriteFaultFailsEveryLaterWriteLeavingTheFileAsItWas) {
    ASSERT_TRUE(plat::WritePrivateProfileString("S", "K", "old", "C:\\KIT\\b.ini"));
    std::string before = Read("C:\\KIT\\b.ini");
    Ask("write:1:permanent");
    EXPECT_FALSE(plat::WritePrivateProfileString("S", "K", "new", "C:\\KIT\\b.ini"));
    EXPECT_FALSE(plat::WritePrivateProfileString("S", "L", "new", "C:\\KIT\\b.ini"));
    EXPECT_FALSE(plat::WriteWholeFile("C:\\KIT\\e.txt", "x"));
    EXPECT_EQ(Read("C:\\KIT\\b.ini"), before);
    // The whole-file write was opened (made empty), then its one byte failed.
    EXPECT_EQ(Read("C:\\KIT\\e.txt"), "");
    char value[16];
    plat::GetPrivateProfileString("S", "K", "", value, sizeof value, "C:\\KIT\\b.ini");
    EXPECT_STREQ(value, "old");
    // Other kinds go on.
    EXPECT_TRUE(plat::CopyFile("C:\\KIT\\a.txt", "C:\\KIT\\c.txt", false));
}

// A failed copy removes what it had written over the destination, as CopyFile does; a process
// killed in the middle of one leaves it cut. A failed move leaves both files alone.
TEST_F(FaultSwitch, ACopyFaultLeavesNoDestinationAKilledCopyACutOne) {
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\dest.txt", "kept"));
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "old!"));
    Ask("copy:1");
    EXPECT_FALSE(plat::CopyFile("C:\\KIT\\a.txt", "C:\\KIT\\dest.txt", false));
    EXPECT_EQ(Read("C:\\KIT\\dest.txt"), "(absent)");
    EXPECT_EQ(Read("C:\\KIT\\a.txt"), "old!");
    EXPECT_TRUE(plat::CopyFile("C:\\KIT\\a.txt", "C:\\KIT\\dest.txt", false));
    EXPECT_EQ(Read("C:\\KIT\\dest.txt"), "old!");
    Ask("move:1");
    EXPECT_FALSE(plat::MoveFile("C:\\KIT\\a.txt", "C:\\KIT\\moved.txt"));
    EXPECT_EQ(Read("C:\\KIT\\a.txt"), "old!");
    EXPECT_EQ(Read("C:\\KIT\\moved.txt"), "(absent)");
    EXPECT_TRUE(plat::MoveFile("C:\\KIT\\a.txt", "C:\\KIT\\moved.txt"));
}

TEST_F(FaultSwitch, RegistryFaultsAnswerTheIoErrorAndChangeNothing) {
    ASSERT_EQ(SetText("V", "old"), plat::kErrorSuccess);
    Ask("registry:2:permanent");  // the key's creation passes, the value's setting fails
    EXPECT_EQ(SetText("V", "new"), sim::kErrorRegistryIoFailed);
    EXPECT_EQ(QueryText("V"), "old");
    plat::RegKey key = 123;
    EXPECT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, "Software\\Other", &key),
              sim::kErrorRegistryIoFailed);
    EXPECT_EQ(key, 0u);
    ASSERT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, "Software\\Test", plat::kKeyAllAccess, &key),
              plat::kErrorSuccess);
    EXPECT_EQ(plat::RegDeleteValue(key, "V"), sim::kErrorRegistryIoFailed);
    EXPECT_EQ(plat::RegDeleteKey(key, ""), sim::kErrorRegistryIoFailed);
    plat::RegCloseKey(key);
    EXPECT_EQ(QueryText("V"), "old");
    // Reads are never faults.
    EXPECT_EQ(Counted()[static_cast<int>(sim::FaultKind::kRegistry)], 5u);
}

TEST_F(FaultSwitch, SpawnFaultsAnswerAsAProgramThatCannotStart) {
    Ask("spawn:1:permanent");
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\child.exe", {"child.exe", "exit", "0"}), -1);
    plat::ProcessHandle started = 42;
    EXPECT_EQ(plat::SpawnNoWait("C:\\KIT\\child.exe", {"child.exe", "exit", "0"}, &started), -1);
    EXPECT_EQ(started, 42);
    EXPECT_LE(plat::WinExec("C:\\KIT\\child.exe exit 0", plat::kSwShowNormal), 31u);
    // A program that is not there is not an operation of the machine: it is not counted.
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\absent.exe", {"absent.exe"}), -1);
    EXPECT_EQ(Counted()[static_cast<int>(sim::FaultKind::kSpawn)], 3u);
}

TEST_F(FaultSwitch, TheNthOperationIsTheMachinesEvenInAnotherProcess) {
    Ask("write:2");
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "first"));
    // The child makes the machine's second write, which fails there.
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\child.exe", {"child.exe", "record", "C:\\KIT\\r.txt"}),
              101);
    EXPECT_EQ(Read("C:\\KIT\\r.txt"), "C:\\") << "cut: half of \"C:\\KIT\\n\"";
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "third"));
}

// A kill: the process making the operation dies there, without a word; a write leaves its file
// cut, a registry change is not made; the other processes go on.
TEST_F(FaultSwitch, AKilledProgramDiesAtItsOperationLeavingAWriteCut) {
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\r.txt", "an older record"));
    Ask("write:1:kill");
    testing::internal::CaptureStderr();
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\child.exe", {"child.exe", "record", "C:\\KIT\\r.txt"}), 3);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("killed by signal 9"), std::string::npos) << said;
    // Its record was the current folder and a line break: half of it is there.
    EXPECT_EQ(Read("C:\\KIT\\r.txt"), std::string("C:\\KIT\n").substr(0, 3));
    EXPECT_NE(Log().find("write 1 child.exe C:\\KIT\\r.txt KILLED\n"), std::string::npos) << Log();
    // This process, the next to write, goes on.
    EXPECT_TRUE(plat::WriteWholeFile("C:\\KIT\\a.txt", "after"));
    EXPECT_EQ(Read("C:\\KIT\\a.txt"), "after");
}

// Not a fault of the switch, but what a fault walk looks for: a program of the machine that
// crashes is said by the one that reaps it, which may be the only one to know.
TEST_F(FaultSwitch, AProgramKilledByASignalIsSaidOnTheErrorOutput) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(plat::SpawnWait("C:\\KIT\\child.exe", {"child.exe", "crash"}), 3);
    plat::ProcessHandle started = 0;
    ASSERT_EQ(plat::SpawnNoWait("C:\\KIT\\child.exe", {"child.exe", "crash"}, &started), 0);
    for (int i = 0; i < 500 && plat::ProcessStillRunning(started); ++i) usleep(10000);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("was killed by signal 6"), std::string::npos) << said;
}

TEST_F(FaultSwitch, MessageBoxesGoToTheLogNamedBySimwinBoxLog) {
    std::string log = folder_ + "/boxes.log";
    setenv("SIMWIN_BOX_LOG", log.c_str(), 1);
    plat::MessageBox(0, "Disque plein.\r\nRecommencez.", "Erreur", 0);
    plat::MessageBox(0, "Fini", "Info\tbis", 0);
    unsetenv("SIMWIN_BOX_LOG");
    plat::MessageBox(0, "not logged", "x", 0);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    std::string self = program_invocation_short_name;
    EXPECT_EQ(text.str(),
              self + "\tErreur\tDisque plein.\\nRecommencez.\n" + self + "\tInfo bis\tFini\n");
}

}  // namespace
