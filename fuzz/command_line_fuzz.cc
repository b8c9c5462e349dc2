// The simulated machine's command-line rules on arbitrary bytes. A line splits into arguments
// no longer than itself; arguments quoted the way a careful caller quotes them, or joined by
// the start functions, come back exactly; and a line without quotes or backslashes splits at
// its blanks, nothing more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sim/command_line.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The inverse of the runtime's rules: in quotes, backslashes doubled before a quote and at the
// end, each quote escaped.
std::string Quoted(const std::string& argument) {
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(2 * slashes, '\\');
    return out + "\"";
}

std::vector<std::string> SplitAtBlanks(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> split = sim::SplitCommandLine(line);
    std::size_t total = 0;
    for (const std::string& argument : split) total += argument.size();
    Check(total <= line.size() && split.size() <= line.size());
    // What the start functions join splits again into the same arguments, whatever they hold.
    Check(sim::SplitCommandLine(sim::JoinArguments(split)) == split);
    if (line.find_first_of("\"\\") == std::string::npos) Check(split == SplitAtBlanks(line));

    // The input again, as a list of arguments separated by zeros, quoted and joined.
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start <= line.size() && !line.empty()) {
        std::size_t end = line.find('\0', start);
        if (end == std::string::npos) end = line.size();
        arguments.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    std::string joined;
    for (const std::string& argument : arguments) {
        if (!joined.empty()) joined += ' ';
        joined += Quoted(argument);
    }
    Check(sim::SplitCommandLine(joined) == arguments);
    Check(sim::SplitCommandLine(sim::JoinArguments(arguments)) == arguments);
    return 0;
}
