// Finding the program an unquoted command line names, as Windows does when a program path
// holds blanks and nobody quoted it. Header only: the simulated machine, which the shared
// helpers are built on, reads its command lines with it too.
#pragma once

#include <functional>
#include <string>

namespace kit {

// What an unquoted command line starts. `program` is the beginning of the line that named an
// existing file, with ".exe" appended when its last component has no extension; `arguments`
// is the rest of the line after the blank that ended it (empty when none). `found` is false
// when no beginning of the line names a file: `program` is then the whole line (".exe"
// appended as above) and `arguments` empty.
struct UnquotedProgram {
    bool found = false;
    std::string program;
    std::string arguments;
};

// `path` with ".exe" appended when its last component (after the last '\' or '/') has no '.'.
inline std::string WithProgramExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.find('.', nameStart) == std::string::npos ? path + ".exe" : path;
}

// Tries the beginnings of `line` cut at each blank, shortest first, and keeps the first one for
// which `exists` is true (given the beginning with ".exe" appended when it has no extension).
// So "C:\Program Files\Kit\a.exe /x" is "C:\Program.exe" when that file exists, which is why
// callers quote what they know to be a path.
inline UnquotedProgram FindUnquotedProgram(const std::string& line,
                                           const std::function<bool(const std::string&)>& exists) {
    UnquotedProgram result;
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) return result;
    std::size_t end = start;
    while (end != std::string::npos) {
        end = line.find_first_of(" \t", end);
        const std::string candidate =
            line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string program = WithProgramExtension(candidate);
        if (exists(program)) {
            result.found = true;
            result.program = program;
            if (end != std::string::npos) result.arguments = line.substr(end + 1);
            return result;
        }
        if (end != std::string::npos) end = line.find_first_not_of(" \t", end);
    }
    std::size_t last = line.find_last_not_of(" \t");
    result.program = WithProgramExtension(line.substr(start, last + 1 - start));
    return result;
}

}  // namespace kit
