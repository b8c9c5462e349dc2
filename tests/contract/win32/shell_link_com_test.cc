// The shell link writer and the caller's COM: a caller that has COM running keeps it running
// after the link is written, and a thread where COM cannot start gets no link.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/shell_link.h"
#include "platform/win32/win32_headers.h"
#include "tests/contract/contract_env.h"

namespace {

class ShellLinkCom : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = contract::FreshFolder();
        settings_.targetPath = folder_ + "\\cible.exe";
        ASSERT_TRUE(plat::WriteWholeFile(settings_.targetPath.c_str(), "MZ"));
        settings_.workingDirectory = folder_;
        link_ = folder_ + "\\Cible.lnk";
    }
    bool LinkExists() const {
        return plat::GetFileAttributes(link_.c_str()) != plat::kInvalidFileAttributes;
    }
    std::string folder_;
    std::string link_;
    plat::ShellLinkSettings settings_;
};

TEST_F(ShellLinkCom, ACallerWhoseComRunsKeepsItRunning) {
    ASSERT_EQ(::CoInitialize(nullptr), S_OK);
    EXPECT_TRUE(plat::SaveShellLink(settings_, link_, true));
    EXPECT_TRUE(LinkExists());
    // Still initialised by the caller alone: a second initialisation only counts up.
    EXPECT_EQ(::CoInitialize(nullptr), S_FALSE) << "the writer ended the caller's COM";
    ::CoUninitialize();
    ::CoUninitialize();
}

TEST_F(ShellLinkCom, AThreadWhereComCannotStartGetsNoLink) {
    // COM started in the other threading model: the writer's own CoInitialize is refused.
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_FALSE(plat::SaveShellLink(settings_, link_, false));
    EXPECT_FALSE(LinkExists());
    ::CoUninitialize();
}

}  // namespace
