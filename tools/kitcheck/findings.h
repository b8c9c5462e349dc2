// What kitcheck found, gathered while the checks run and printed at the end the way compilers
// print: "file:line: error: ..." or "file:line:col: warning: ...", so that editors jump to them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kitcheck {

enum class Severity { kWarning, kError };

struct Finding {
    Severity severity = Severity::kError;
    std::string file;  // as shown to the author
    int line = 0;      // 0: the file as a whole
    int column = 0;    // 0: the line as a whole
    std::string message;
};

class Report {
  public:
    void Add(Severity severity, const std::string& file, int line, int column,
             const std::string& message);
    void Error(const std::string& file, int line, const std::string& message) {
        Add(Severity::kError, file, line, 0, message);
    }
    void Warning(const std::string& file, int line, const std::string& message) {
        Add(Severity::kWarning, file, line, 0, message);
    }

    int ErrorCount() const;
    int WarningCount() const;
    // In the order of the files as they were first named, each file's findings by line; the
    // same finding is kept once.
    std::vector<Finding> Sorted() const;
    // One line per finding.
    void Print(std::FILE* out) const;

  private:
    std::vector<Finding> m_findings;
    std::vector<std::string> m_files;  // in the order first named
};

// One finding as printed, without the line end.
std::string FormatFinding(const Finding& finding);

// Kit texts are Windows-1252; the terminal of the machine kitcheck runs on may want another
// encoding (UTF-8 on the build machines). Defined per platform.
std::string ForTerminal(const std::string& text);

}  // namespace kitcheck
