// kitcheck: reads a kit's folders and reports, in the way compilers do, what would fail or
// trap a user when the kit wizard and the connection wizard run them. A console program for
// kit authors, on the build machines and on Windows; it is not part of a kit.
//
// Exit codes: 0 without error (warnings allowed), 1 with at least one error, 2 for a command
// line it does not understand.
#include "tools/kitcheck/kitcheck.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
            std::strcmp(argv[i], "/?") == 0) {
            std::fputs(kitcheck::kUsage, stdout);
            return kitcheck::kExitClean;
        }
        arguments.push_back(argv[i]);
    }
    kitcheck::Report report;
    int checked = 0;
    std::string problem;
    if (!kitcheck::CheckArguments(arguments, &report, &checked, &problem)) {
        std::fprintf(stderr, "kitcheck: %s\n%s", problem.c_str(), kitcheck::kUsage);
        return kitcheck::kExitUsage;
    }
    report.Print(stdout);
    std::printf("kitcheck: %d file(s) checked, %d error(s), %d warning(s)\n", checked,
                report.ErrorCount(), report.WarningCount());
    return report.ErrorCount() > 0 ? kitcheck::kExitErrors : kitcheck::kExitClean;
}
