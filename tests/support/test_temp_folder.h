// Temporary folders owned by the running GoogleTest test: removed when the test passes, kept
// (and named on the error output) when it fails, so that its machine can be looked at.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace testsupport {
namespace detail {

// The processes started on the simulated machine in `folder` that still run: they carry its
// folder in their environment, as the machine gives it to every program it starts.
inline std::vector<pid_t> ProcessesOnMachine(const std::string& folder) {
    std::vector<pid_t> found;
    const std::string marker = "SIMWIN_MACHINE=" + folder;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == getpid()) continue;
        std::ifstream variables(std::string("/proc/") + entry->d_name + "/environ",
                                std::ios::binary);
        std::string variable;
        while (std::getline(variables, variable, '\0')) {
            if (variable == marker) {
                found.push_back(static_cast<pid_t>(pid));
                break;
            }
        }
    }
    closedir(proc);
    return found;
}

}  // namespace detail

// Ends every program that runs on the simulated machine in `folder`. A program a test started
// without waiting for it (an application the wizard launched, a sign-up program left waiting
// for its user) may still run when the test ends, and would write into the machine folder
// again after the folder is gone: the folder's removal ends them first.
inline void EndProgramsOnMachine(const std::string& folder) {
    for (pid_t pid : detail::ProcessesOnMachine(folder)) kill(pid, SIGKILL);
    for (int i = 0; i < 200 && !detail::ProcessesOnMachine(folder).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

namespace detail {

// Settles the folders made during a test when that test ends, and the folders made outside any
// test (a test environment, a suite's set-up) when the program ends.
class TempFolderSweeper : public ::testing::EmptyTestEventListener {
  public:
    void Add(const std::string& folder) {
        bool inTest = ::testing::UnitTest::GetInstance()->current_test_info() != nullptr;
        (inTest ? ofTest_ : ofProgram_).push_back(folder);
    }
    void OnTestEnd(const ::testing::TestInfo& test) override {
        Settle(&ofTest_, !test.result()->Failed(),
               std::string(test.test_suite_name()) + "." + test.name());
    }
    void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
        Settle(&ofProgram_, !unit.Failed(), "the run");
    }

  private:
    static void Settle(std::vector<std::string>* folders, bool passed, const std::string& who) {
        for (const std::string& folder : *folders) {
            if (passed) {
                EndProgramsOnMachine(folder);
                RemoveTempFolder(folder);
            } else {
                // The mark tells the temporary-folder check of the CTest run to keep it too.
                std::ofstream(folder + "/.kept") << who << "\n";
                std::fprintf(stderr, "%s failed: its folder %s is kept for a look\n", who.c_str(),
                             folder.c_str());
            }
        }
        folders->clear();
    }

    std::vector<std::string> ofTest_;
    std::vector<std::string> ofProgram_;
};

inline TempFolderSweeper& Sweeper() {
    // GoogleTest owns the listener once appended.
    static TempFolderSweeper* const sweeper = [] {
        auto* made = new TempFolderSweeper;
        ::testing::UnitTest::GetInstance()->listeners().Append(made);
        return made;
    }();
    return *sweeper;
}

}  // namespace detail

// A new folder "<temp>/<prefix>-XXXXXX" for the running test (or, outside a test, for the whole
// run); empty when it cannot be made.
inline std::string TestTempFolder(const std::string& prefix) {
    std::string folder = MakeTempFolder(prefix);
    if (!folder.empty()) detail::Sweeper().Add(folder);
    return folder;
}

}  // namespace testsupport
