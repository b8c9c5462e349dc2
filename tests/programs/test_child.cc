// A small program for the process tests, on both back ends:
//   test_child exit N         ends with exit code N
//   test_child sleep MS       sleeps, then ends with 0
//   test_child wait FILE      runs until FILE (a Windows path on the shared machine) exists,
//                             then ends with 0 (with 4 after a minute): a test ends it when it
//                             chooses, instead of racing a sleep
//   test_child crash          is killed by a signal (SIGABRT), as a program that crashes
//   test_child claim NAME     ends with 0 when it got the claim NAME, 1 when another holds it
//   test_child record FILE ...writes its current directory and arguments to FILE (a Windows
//                             path on the shared machine), one per line
//   test_child arguments ...  ends with 0 when its arguments after "arguments" are exactly
//                             those of argument_cases.h, 50 + their count when it got another
//                             count, else 1 + the index of the first that differs
//   test_child append FILE MS ...
//                             appends its remaining arguments, joined by blanks, as one line to
//                             FILE, then sleeps MS milliseconds and ends with 0 (a slow program
//                             whose runs can be counted)
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/instance.h"
#include "tests/programs/argument_cases.h"

int main(int argc, char** argv) {
    if (argc < 2) return 100;
    std::string mode = argv[1];
    if (mode == "exit" && argc > 2) return std::atoi(argv[2]);
    if (mode == "crash") std::abort();
    if (mode == "claim" && argc > 2) {
        plat::InstanceClaim claim = 0;
        bool claimed = plat::ClaimInstance(argv[2], &claim);
        plat::ReleaseInstance(claim);
        return claimed ? 0 : 1;
    }
    if (mode == "arguments") {
        if (argc - 2 != argcases::kCount) return 50 + (argc - 2);
        for (int i = 0; i < argcases::kCount; ++i) {
            if (std::string(argv[i + 2]) != argcases::kArguments[i]) return 1 + i;
        }
        return 0;
    }
    if (mode == "sleep" && argc > 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
        return 0;
    }
    if (mode == "append" && argc > 3) {
        std::string text;
        plat::ReadWholeFile(argv[2], &text);
        for (int i = 4; i < argc; ++i) text += std::string(i > 4 ? " " : "") + argv[i];
        if (!plat::WriteWholeFile(argv[2], text + "\r\n")) return 101;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[3])));
        return 0;
    }
    if (mode == "wait" && argc > 2) {
        for (int i = 0; i < 6000; ++i) {
            if (plat::GetFileAttributes(argv[2]) != plat::kInvalidFileAttributes) return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 4;
    }
    if (mode == "record" && argc > 2) {
        char cwd[260];
        plat::GetCurrentDirectory(sizeof cwd, cwd);
        std::string text = std::string(cwd) + "\n";
        for (int i = 3; i < argc; ++i) text += std::string(argv[i]) + "\n";
        return plat::WriteWholeFile(argv[2], text) ? 0 : 101;
    }
    return 102;
}
