// first_paint.exe RUNS FOLDER PROGRAM [FOLDER PROGRAM ...]
// The time from a program's start to its first painted page, under Wine: each PROGRAM is
// started RUNS times from FOLDER (its working directory), the programs in turn; the time runs from
// CreateProcess to the moment the program's message loop first waits for input (WaitForInputIdle),
// by which it has shown and painted its window; the program is then ended. Prints, for each
// program, the median and the fastest run in milliseconds, then each median divided by the first
// program's (the reference: a bare dialog).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// One run: the milliseconds to the first idle wait, or a negative number when it failed.
double OneRun(const std::string& folder, const std::string& program) {
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    LARGE_INTEGER idle;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return -1;
    }
    DWORD waited = WaitForInputIdle(process.hProcess, 30000);
    QueryPerformanceCounter(&idle);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == 0 ? Milliseconds(start, idle) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: first_paint RUNS FOLDER PROGRAM [FOLDER PROGRAM ...]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const int programs = (argc - 2) / 2;
    // Runs go round the programs in turn rather than one program's runs in a block, so that a
    // machine whose load changes during the bench weighs on every program alike.
    std::vector<std::vector<double>> times(programs);
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < programs; ++p) {
            const char* program = argv[2 + 2 * p + 1];
            double ms = OneRun(argv[2 + 2 * p], program);
            if (ms < 0) {
                std::fprintf(stderr, "first_paint: %s did not reach its message loop\n", program);
                return 1;
            }
            times[p].push_back(ms);
        }
    }
    double reference = 0;
    for (int p = 0; p < programs; ++p) {
        std::vector<double>& sorted = times[p];
        std::sort(sorted.begin(), sorted.end());
        double median = sorted[sorted.size() / 2];
        if (reference == 0) reference = median;
        std::printf("%-60s median %7.1f ms  fastest %7.1f ms  x%.2f\n", argv[2 + 2 * p + 1], median,
                    sorted.front(), median / reference);
    }
    return 0;
}
