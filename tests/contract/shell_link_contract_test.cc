// The shell link family behaves the same on the simulated machine and on the real platform:
// the link file is where it was asked for, and a missing folder takes none.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/shell_link.h"
#include "tests/contract/contract_env.h"

namespace {

class ShellLinkContract : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = contract::FreshFolder();
        target_ = folder_ + "\\cible.exe";
        ASSERT_TRUE(plat::WriteWholeFile(target_.c_str(), "MZ"));
        settings_.targetPath = target_;
        settings_.arguments = "/a b";
        settings_.description = "Cible";
        settings_.iconFile = target_;
        settings_.workingDirectory = folder_;
    }
    static bool Exists(const std::string& path) {
        return plat::GetFileAttributes(path.c_str()) != plat::kInvalidFileAttributes;
    }
    std::string folder_;
    std::string target_;
    plat::ShellLinkSettings settings_;
};

TEST_F(ShellLinkContract, TheLinkFileIsSavedAtItsPathAndReplacedAgain) {
    const std::string link = folder_ + "\\Cible.lnk";
    ASSERT_TRUE(plat::SaveShellLink(settings_, link, false));
    EXPECT_TRUE(Exists(link));
    settings_.description.clear();
    settings_.arguments.clear();
    settings_.iconFile.clear();
    EXPECT_TRUE(plat::SaveShellLink(settings_, link, false));
    EXPECT_TRUE(Exists(link));
}

// The kit's removal reads where the desktop shortcut leads before it deletes it.
TEST_F(ShellLinkContract, TheTargetIsReadBackEvenWhenItIsGoneAndOtherFilesAreNoLinks) {
    const std::string link = folder_ + "\\Cible.lnk";
    ASSERT_TRUE(plat::SaveShellLink(settings_, link, false));
    std::string target;
    ASSERT_TRUE(plat::ReadShellLinkTarget(link, &target, false));
    EXPECT_EQ(target, target_);
    ASSERT_TRUE(plat::DeleteFile(target_.c_str()));
    target.clear();
    ASSERT_TRUE(plat::ReadShellLinkTarget(link, &target, false));
    EXPECT_EQ(target, target_);

    const std::string text = folder_ + "\\Texte.lnk";
    ASSERT_TRUE(
        plat::WriteWholeFile(text.c_str(), "[Raccourci]\r\nCible=C:\\x.exe\r\nIcone=a,b\r\n"));
    EXPECT_FALSE(plat::ReadShellLinkTarget(text, &target, false));
    EXPECT_FALSE(plat::ReadShellLinkTarget(folder_ + "\\Absent.lnk", &target, false));
}

TEST_F(ShellLinkContract, AFolderThatIsNotThereTakesNoLink) {
    const std::string link = folder_ + "\\absent\\Cible.lnk";
    EXPECT_FALSE(plat::SaveShellLink(settings_, link, false));
    EXPECT_FALSE(Exists(link));
}

}  // namespace
