#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/files.h"
#include "platform/sim/machine.h"
#include "tests/support/test_temp_folder.h"

namespace {

class MachinePaths : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("machine-paths");
        ASSERT_FALSE(folder_.empty());
        machine_ = &sim::Machine::Use(folder_);
    }
    std::string folder_;
    sim::Machine* machine_ = nullptr;
};

TEST_F(MachinePaths, DriveCLivesInTheMachineFolderAndZIsTheHostRoot) {
    std::string host;
    ASSERT_TRUE(machine_->ToHostPath("C:\\WINDOWS\\win.ini", &host));
    EXPECT_EQ(host, folder_ + "/drive_c/WINDOWS/win.ini");
    ASSERT_TRUE(machine_->ToHostPath("z:\\etc\\hostname", &host));
    EXPECT_EQ(host, "/etc/hostname");
    EXPECT_FALSE(machine_->ToHostPath("D:\\x", &host));
    EXPECT_EQ(machine_->ToWindowsPath(folder_ + "/drive_c/KIT/a.exe"), "C:\\KIT\\a.exe");
    EXPECT_EQ(machine_->ToWindowsPath("/usr/bin"), "Z:\\usr\\bin");
}

TEST_F(MachinePaths, ExistingNamesMatchWithoutRegardToCase) {
    mkdir((folder_ + "/drive_c/Program Files").c_str(), 0755);
    std::ofstream(folder_ + "/drive_c/Program Files/Setup.EXE") << "x";
    std::string host;
    ASSERT_TRUE(machine_->ToHostPath("c:\\PROGRAM FILES\\setup.exe", &host));
    EXPECT_EQ(host, folder_ + "/drive_c/Program Files/Setup.EXE");
    EXPECT_TRUE(plat::CanOpenForReading("C:\\program files\\SETUP.exe"));
}

TEST_F(MachinePaths, RelativePathsStartAtTheCurrentDirectory) {
    ASSERT_TRUE(machine_->SetCurrentDirectory("C:\\WINDOWS"));
    EXPECT_EQ(machine_->FullPath("a.ini"), "C:\\WINDOWS\\a.ini");
    EXPECT_EQ(machine_->FullPath("..\\KIT\\.\\b.ini"), "C:\\KIT\\b.ini");
    EXPECT_EQ(machine_->FullPath("\\x"), "C:\\x");
    EXPECT_EQ(machine_->FullPath("c:/a//b/"), "C:\\a\\b");
    EXPECT_FALSE(machine_->SetCurrentDirectory("C:\\NOWHERE"));
    EXPECT_EQ(machine_->CurrentDirectory(), "C:\\WINDOWS");
}

TEST_F(MachinePaths, SettingsPersistInTheMachineFolder) {
    sim::MachineSettings settings;
    settings.major = 4;
    settings.minor = 0;
    settings.dpiY = 120;
    machine_->SetSettings(settings);
    sim::Machine& reopened = sim::Machine::Use(folder_);
    EXPECT_EQ(reopened.Settings().minor, 0u);
    EXPECT_EQ(reopened.Settings().dpiY, 120);
    EXPECT_EQ(reopened.Settings().platformId, 1u);
}

}  // namespace
