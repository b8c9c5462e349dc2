// The simulated machine keeps parsed INI files in memory; these tests check that it serves no
// stale contents: a change through the machine shows at once, from any process, and one made
// behind its back (written here with plain system calls) after the next tick of the clock.
// Writers in several processes lose no update.
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/sim/machine.h"
#include "tests/support/temp_folder.h"

namespace {

class ProfileCache : public ::testing::Test {
  protected:
    // In the temporary directory, as every test: a write through the machine there takes far
    // less than one clock tick of the file times, so only the change count can make it show.
    void SetUp() override {
        folder_ = testsupport::MakeTempFolder("profile-cache");
        sim::Machine::Use(folder_);
        hostFile_ = folder_ + "/drive_c/cache.ini";
    }
    void TearDown() override {
        nftw(
            folder_.c_str(),
            [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }
    std::string Value(const char* section, const char* key) const {
        char buffer[64];
        plat::GetPrivateProfileString(section, key, "?", buffer, sizeof buffer, kFile);
        return buffer;
    }
    // Replaces the file's bytes in place (same inode), as an editor or another program
    // writing without the machine's help would.
    void OverwriteInPlace(const std::string& bytes) const {
        int fd = open(hostFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(fd);
    }
    // The machine trusts its last look at a file until its clock ticks or a change goes
    // through it.
    static void WaitForTheNextClockTick() {
        struct timespec start;
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC_COARSE, &start);
        do {
            usleep(500);
            clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        } while (now.tv_sec == start.tv_sec && now.tv_nsec == start.tv_nsec);
    }
    void SetModificationTime(time_t seconds, long nanoseconds) const {
        struct timespec times[2];
        times[0].tv_sec = seconds;
        times[0].tv_nsec = nanoseconds;
        times[1] = times[0];
        ASSERT_EQ(utimensat(AT_FDCWD, hostFile_.c_str(), times, 0), 0);
    }
    // Runs `body` in a child process and waits for it; true when it exited with 0.
    template <typename Body>
    static pid_t Spawn(Body body) {
        pid_t pid = fork();
        if (pid == 0) _exit(body() ? 0 : 1);
        return pid;
    }
    static bool Succeeded(pid_t pid) {
        int status = 0;
        return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    static constexpr const char* kFile = "C:\\cache.ini";
    std::string folder_;
    std::string hostFile_;
};

TEST_F(ProfileCache, SeesAWriteMadeByAnotherProcess) {
    ASSERT_TRUE(plat::WritePrivateProfileString("A", "k", "before", kFile));
    ASSERT_EQ(Value("A", "k"), "before");
    pid_t child = Spawn([] { return plat::WritePrivateProfileString("A", "k", "after", kFile); });
    ASSERT_TRUE(Succeeded(child));
    EXPECT_EQ(Value("A", "k"), "after");
}

TEST_F(ProfileCache, SeesAChangeThroughTheMachineAtOnce) {
    ASSERT_TRUE(plat::WriteWholeFile(kFile, "[A]\r\nk=1\r\n"));
    ASSERT_EQ(Value("A", "k"), "1");
    ASSERT_TRUE(plat::WriteWholeFile(kFile, "[A]\r\nk=2\r\n"));
    EXPECT_EQ(Value("A", "k"), "2");
    ASSERT_TRUE(plat::DeleteFile(kFile));
    EXPECT_EQ(Value("A", "k"), "?");
    ASSERT_TRUE(plat::WriteWholeFile("C:\\other.ini", "[A]\r\nk=3\r\n"));
    ASSERT_TRUE(plat::CopyFile("C:\\other.ini", kFile, false));
    EXPECT_EQ(Value("A", "k"), "3");
}

TEST_F(ProfileCache, SeesAnInPlaceChangeOfTheSameSizeByItsTimes) {
    OverwriteInPlace("[A]\r\nk=1\r\n");
    SetModificationTime(1000000000, 0);
    ASSERT_EQ(Value("A", "k"), "1");
    OverwriteInPlace("[A]\r\nk=2\r\n");
    SetModificationTime(1000000000, 1);  // one nanosecond later
    WaitForTheNextClockTick();
    EXPECT_EQ(Value("A", "k"), "2");
}

TEST_F(ProfileCache, SeesAChangeThatKeptTheModificationTime) {
    OverwriteInPlace("[A]\r\nk=1\r\n");
    SetModificationTime(1000000000, 5);
    ASSERT_EQ(Value("A", "k"), "1");
    OverwriteInPlace("[A]\r\nk=22\r\n");
    SetModificationTime(1000000000, 5);
    WaitForTheNextClockTick();
    EXPECT_EQ(Value("A", "k"), "22");
}

TEST_F(ProfileCache, ForgetsAFileThatWasDeletedAndSeesItComeBack) {
    OverwriteInPlace("[A]\r\nk=1\r\n");
    ASSERT_EQ(Value("A", "k"), "1");
    ASSERT_EQ(unlink(hostFile_.c_str()), 0);
    WaitForTheNextClockTick();
    EXPECT_EQ(Value("A", "k"), "?");
    // Back under another letter case: Windows names match without regard to case.
    std::string renamed = folder_ + "/drive_c/CACHE.INI";
    int fd = open(renamed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "[A]\r\nk=3\r\n", 10), 10);
    close(fd);
    WaitForTheNextClockTick();
    EXPECT_EQ(Value("A", "k"), "3");
}

TEST_F(ProfileCache, SeesAFileRenamedAwayAndAnotherPutInItsPlace) {
    OverwriteInPlace("[A]\r\nk=1\r\n");
    ASSERT_EQ(Value("A", "k"), "1");
    ASSERT_EQ(rename(hostFile_.c_str(), (hostFile_ + ".old").c_str()), 0);
    OverwriteInPlace("[A]\r\nk=2\r\n");
    WaitForTheNextClockTick();
    EXPECT_EQ(Value("A", "k"), "2");
}

TEST_F(ProfileCache, SeesAFolderReplacedAboveTheFileWithinATenthOfASecond) {
    std::string folder = folder_ + "/drive_c/KIT";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    auto put = [&](const char* bytes) {
        int fd = open((folder + "/kit.ini").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, bytes, std::strlen(bytes)), static_cast<ssize_t>(std::strlen(bytes)));
        close(fd);
    };
    put("[A]\r\nk=1\r\n");
    char buffer[16];
    plat::GetPrivateProfileString("A", "k", "?", buffer, sizeof buffer, "C:\\KIT\\kit.ini");
    ASSERT_STREQ(buffer, "1");
    ASSERT_EQ(rename(folder.c_str(), (folder + ".old").c_str()), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    put("[A]\r\nk=2\r\n");
    usleep(150 * 1000);
    plat::GetPrivateProfileString("A", "k", "?", buffer, sizeof buffer, "C:\\KIT\\kit.ini");
    EXPECT_STREQ(buffer, "2");
}

TEST_F(ProfileCache, ConcurrentWritersInSeveralProcessesLoseNoUpdate) {
    constexpr int kWriters = 4;
    constexpr int kWritesEach = 50;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        children.push_back(Spawn([w] {
            for (int i = 0; i < kWritesEach; ++i) {
                std::string key = "w" + std::to_string(w) + "k" + std::to_string(i);
                std::string value = std::to_string(w * 1000 + i);
                // Half the writers share a section, so that their edits meet in one place.
                const char* section = w % 2 == 0 ? "Shared" : (w == 1 ? "One" : "Three");
                if (!plat::WritePrivateProfileString(section, key.c_str(), value.c_str(), kFile)) {
                    return false;
                }
            }
            return true;
        }));
    }
    for (pid_t child : children) EXPECT_TRUE(Succeeded(child));

    for (int w = 0; w < kWriters; ++w) {
        const char* section = w % 2 == 0 ? "Shared" : (w == 1 ? "One" : "Three");
        for (int i = 0; i < kWritesEach; ++i) {
            std::string key = "w" + std::to_string(w) + "k" + std::to_string(i);
            EXPECT_EQ(Value(section, key.c_str()), std::to_string(w * 1000 + i)) << key;
        }
    }
    // No temporary file is left beside the INI file.
    struct stat st;
    EXPECT_NE(stat((hostFile_ + ".tmp" + std::to_string(children[0])).c_str(), &st), 0);
}

}  // namespace
