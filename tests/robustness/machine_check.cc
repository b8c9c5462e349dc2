// Checks that a simulated machine holds nothing half-written, after a walk of the demonstration
// kit with a fault injected (or a program killed):
//   machine_check MACHINE_DIR
// - the registry file reads as a whole REGEDIT4 file;
// - every text file the kit writes on drive C: (.ini, .ins, .reg, .log, .lnk) ends with its
//   line break and holds no zero byte, and a .reg file reads as REGEDIT4;
// - every INI line is a comment, a section, a "name=value" or blank;
// - a program or picture copied from the CD (MACHINE_DIR/cd/contenu) is the CD's file, whole;
// - no temporary file of a write is left on drive C:.
// Prints one line per problem; exit code 0 when there is none.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sim/regedit4.h"

namespace fs = std::filesystem;

namespace {

int problems = 0;

void Problem(const std::string& text) {
    std::printf("%s\n", text.c_str());
    ++problems;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void CheckRegedit4(const fs::path& path, const std::string& text) {
    if (text.empty()) return;
    sim::RegScript script;
    std::string error;
    if (!sim::ParseRegedit4(text, path.string(), &script, &error)) Problem("unreadable: " + error);
}

void CheckText(const fs::path& path, const std::string& text, bool ini) {
    if (text.empty()) return;
    if (text.back() != '\n') Problem("cut short (no line break at the end): " + path.string());
    if (text.find('\0') != std::string::npos) Problem("zero byte in a text: " + path.string());
    if (!ini) return;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        char c = line[first];
        if (c == ';' || c == '[' || line.find('=') != std::string::npos) continue;
        Problem("not an INI line: " + path.string() + ":" + std::to_string(number) + ": " + line);
    }
}

bool IsTemporary(const std::string& name) {
    // Atomic replacements write "<name>.tmp<pid>" beside the file; the extraction program
    // "<name>.kx~".
    std::size_t tmp = name.rfind(".tmp");
    bool pidTmp = tmp != std::string::npos && tmp + 4 < name.size() &&
                  name.find_first_not_of("0123456789", tmp + 4) == std::string::npos;
    return pidTmp || (name.size() > 4 && name.compare(name.size() - 4, 4, ".kx~") == 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: machine_check MACHINE_DIR\n");
        return 2;
    }
    const fs::path machine = argv[1];
    CheckRegedit4(machine / "system.reg", Read(machine / "system.reg"));
    const fs::path contenu = machine / "cd" / "contenu";
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(machine / "drive_c", error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error) {
            Problem("drive C: cannot be listed: " + error.message());
            break;
        }
        if (!it->is_regular_file()) continue;
        const fs::path& path = it->path();
        std::string name = path.filename().string();
        if (IsTemporary(name)) {
            Problem("temporary file left: " + path.string());
            continue;
        }
        std::string extension = Lower(path.extension().string());
        std::string text = Read(path);
        if (extension == ".reg") {
            CheckText(path, text, false);
            CheckRegedit4(path, text);
        } else if (extension == ".ini" || extension == ".ins") {
            CheckText(path, text, true);
        } else if (extension == ".log" || extension == ".lnk") {
            CheckText(path, text, false);
        } else if (fs::exists(contenu / name)) {
            if (text != Read(contenu / name)) Problem("not the CD's file: " + path.string());
        }
    }
    return problems == 0 ? 0 : 1;
}
