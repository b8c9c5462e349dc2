#include "platform/command_line.h"

namespace plat {

std::string QuoteArgument(const std::string& argument) {
    const bool quoted = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    std::string out;
    if (quoted) out += '"';
    std::size_t i = 0;
    while (true) {
        std::size_t backslashes = 0;
        while (i < argument.size() && argument[i] == '\\') {
            ++backslashes;
            ++i;
        }
        if (i == argument.size()) {
            // Before the closing quote they would escape it: doubled. Without quotes they stay.
            out.append(quoted ? backslashes * 2 : backslashes, '\\');
            break;
        }
        if (argument[i] == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        out += argument[i++];
    }
    if (quoted) out += '"';
    return out;
}

std::string BuildCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        if (i > 0) line += ' ';
        line += QuoteArgument(argv[i]);
    }
    return line;
}

}  // namespace plat
