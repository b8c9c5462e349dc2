// The start that keeps the process, for a program that waits for it while its window answers:
// the program found as WinExec finds it, the wait ending with the process or with a message.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/window.h"
#include "tests/contract/contract_env.h"

namespace {

class ProcessWaitContract : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = contract::FreshFolder();
        char self[260];
        plat::GetModuleFileName(self, sizeof self);
        const std::string path(self);
        child_ = path.substr(0, path.rfind('\\') + 1) + "test_child.exe";
        ASSERT_TRUE(plat::CreateDirectory((folder_ + "\\Mon Kit").c_str()));
        ASSERT_TRUE(plat::CopyFile(child_.c_str(), Program().c_str(), false));
    }
    std::string Program() const { return folder_ + "\\Mon Kit\\child.exe"; }
    static std::string WaitForFile(const std::string& path) {
        std::string text;
        for (int i = 0; i < 200 && !plat::ReadWholeFile(path.c_str(), &text); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return text;
    }
    static void WaitToTheEnd(plat::ProcessHandle process) {
        for (int i = 0; i < 100 && !plat::WaitForProcessOrMessage(process, 100); ++i) {
            plat::Msg msg;
            while (plat::PeekMessage(&msg, 0, plat::kPmRemove)) plat::DispatchMessage(&msg);
        }
        plat::CloseProcessHandle(process);
    }
    std::string folder_;
    std::string child_;
};

TEST_F(ProcessWaitContract, AnUnquotedPathWithBlanksIsTheShortestBeginningThatNamesAFile) {
    const std::string out = folder_ + "\\out.txt";
    const std::string line = Program() + " record " + out + " a";
    plat::ProcessHandle process = 0;
    ASSERT_GT(plat::StartProcessKept(line.c_str(), plat::kSwShowDefault, &process), 31u);
    ASSERT_NE(process, 0);
    WaitToTheEnd(process);
    EXPECT_NE(WaitForFile(out).find("\na\n"), std::string::npos);

    // A "Mon.exe" beside the folder is what that line names now; it starts with other
    // arguments, which make it record nothing.
    ASSERT_TRUE(plat::DeleteFile(out.c_str()));
    ASSERT_TRUE(plat::CopyFile(child_.c_str(), (folder_ + "\\Mon.exe").c_str(), false));
    process = 0;
    ASSERT_GT(plat::StartProcessKept(line.c_str(), plat::kSwShowDefault, &process), 31u);
    WaitToTheEnd(process);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(plat::GetFileAttributes(out.c_str()), plat::kInvalidFileAttributes);
}

TEST_F(ProcessWaitContract, TheWaitEndsWithTheProcessOrEarlierWithAMessage) {
    const auto start = std::chrono::steady_clock::now();
    plat::ProcessHandle process = 0;
    const std::string line = "\"" + Program() + "\" sleep 700";
    ASSERT_GT(plat::StartProcessKept(line.c_str(), plat::kSwShowDefault, &process), 31u);
    EXPECT_FALSE(plat::WaitForProcessOrMessage(process, 0));

    plat::Hwnd window = plat::CreateWindow(0, "Static", "", 0, 0, 0, 10, 10, 0, 0);
    ASSERT_NE(window, plat::kNoWindow);
    ASSERT_TRUE(plat::PostMessage(window, plat::kWmUser, 0, 0));
    EXPECT_FALSE(plat::WaitForProcessOrMessage(process, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    plat::Msg msg;
    ASSERT_TRUE(plat::PeekMessage(&msg, 0, plat::kPmRemove));
    EXPECT_EQ(msg.message, plat::kWmUser);

    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) ended = plat::WaitForProcessOrMessage(process, 100);
    EXPECT_TRUE(ended);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(650));
    plat::CloseProcessHandle(process);
    plat::DestroyWindow(window);
}

TEST_F(ProcessWaitContract, AProgramThatIsNotThereIsNotStartedAndTheHandleIsLeftAlone) {
    plat::ProcessHandle process = 12345;
    const std::string line = folder_ + "\\absent.exe /a";
    EXPECT_LE(plat::StartProcessKept(line.c_str(), plat::kSwShowDefault, &process), 31u);
    EXPECT_EQ(process, 12345);
}

}  // namespace
