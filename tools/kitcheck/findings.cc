#include "tools/kitcheck/findings.h"

#include <algorithm>
#include <tuple>

namespace kitcheck {

void Report::Add(Severity severity, const std::string& file, int line, int column,
                 const std::string& message) {
    if (std::find(m_files.begin(), m_files.end(), file) == m_files.end()) m_files.push_back(file);
    Finding finding{severity, file, line, column, message};
    // The same step reached from two places is checked once, but a rule may still meet the
    // same fault twice: say it once.
    for (const Finding& known : m_findings) {
        if (std::tie(known.severity, known.file, known.line, known.column, known.message) ==
            std::tie(finding.severity, finding.file, finding.line, finding.column,
                     finding.message)) {
            return;
        }
    }
    m_findings.push_back(finding);
}

int Report::ErrorCount() const {
    return static_cast<int>(
        std::count_if(m_findings.begin(), m_findings.end(),
                      [](const Finding& f) { return f.severity == Severity::kError; }));
}

int Report::WarningCount() const { return static_cast<int>(m_findings.size()) - ErrorCount(); }

std::vector<Finding> Report::Sorted() const {
    std::vector<Finding> sorted = m_findings;
    auto fileRank = [this](const std::string& file) {
        return std::find(m_files.begin(), m_files.end(), file) - m_files.begin();
    };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Finding& a, const Finding& b) {
        return std::make_tuple(fileRank(a.file), a.line, a.column) <
               std::make_tuple(fileRank(b.file), b.line, b.column);
    });
    return sorted;
}

std::string FormatFinding(const Finding& finding) {
    std::string text = finding.file;
    if (finding.line > 0) {
        text += ":" + std::to_string(finding.line);
        if (finding.column > 0) text += ":" + std::to_string(finding.column);
    }
    text += finding.severity == Severity::kError ? ": error: " : ": warning: ";
    return text + finding.message;
}

void Report::Print(std::FILE* out) const {
    for (const Finding& finding : Sorted()) {
        std::fprintf(out, "%s\n", ForTerminal(FormatFinding(finding)).c_str());
    }
}

}  // namespace kitcheck
