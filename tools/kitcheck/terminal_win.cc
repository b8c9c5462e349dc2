// kitcheck on Windows: paths are the platform's own, and the texts go out as they are.
#include <string>

#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/kitcheck.h"

namespace kitcheck {

std::string ForTerminal(const std::string& text) { return text; }

std::string PlatformPath(const std::string& argument) {
    std::string path = argument;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace kitcheck
