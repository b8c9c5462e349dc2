// win9x_imports: checks that .exe files load on Windows 95/98, against the export lists in
// tools/win9x_imports/exports. Exit status 0 when every file passes, 1 when one fails, 2 when
// the command line or the export lists are unusable.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/win9x_imports/export_lists.h"
#include "tools/win9x_imports/import_check.h"
#include "tools/win9x_imports/pe_image.h"

namespace {

constexpr char kUsage[] =
    "usage: win9x_imports [--list] EXPORTS_DIR FILE.exe...\n"
    "  Checks that each FILE imports only what Windows 95/98 export.\n"
    "  @LIST   stands for the files named in LIST, one per line\n"
    "  --list  also prints every import of each file as DLL!name\n";

// Adds the files named in the list file at `path`, one per line; a build writes such a list when
// it knows the programs only once it is generated.
bool AddListedFiles(const std::string& path, std::vector<std::string>* files) {
    std::FILE* list = std::fopen(path.c_str(), "rb");
    if (list == nullptr) {
        std::fprintf(stderr, "win9x_imports: cannot read %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    std::string line;
    for (int c = std::fgetc(list);; c = std::fgetc(list)) {
        if (c == EOF || c == '\n') {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            if (!line.empty()) files->push_back(line);
            line.clear();
            if (c == EOF) break;
        } else {
            line += static_cast<char>(c);
        }
    }
    bool failed = std::ferror(list) != 0;
    std::fclose(list);
    if (failed) std::fprintf(stderr, "win9x_imports: cannot read %s\n", path.c_str());
    return !failed;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    std::uint8_t buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes->insert(bytes->end(), buffer, buffer + count);
    }
    bool failed = std::ferror(file) != 0;
    int readErrno = errno;
    std::fclose(file);
    if (failed) *error = std::strerror(readErrno);
    return !failed;
}

// Prints the verdict on one file; true when it passed.
bool CheckFile(const std::string& path, const win9x::ExportLists& lists, bool list) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadFile(path, &bytes, &error)) {
        std::printf("%s: cannot be read: %s\n", path.c_str(), error.c_str());
        return false;
    }
    win9x::PeImage image;
    if (!win9x::ParsePeImage(bytes.data(), bytes.size(), &image, &error)) {
        std::printf("%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    win9x::CheckResult result = win9x::CheckImage(image, lists);
    for (const std::string& problem : result.problems) {
        std::printf("%s: %s\n", path.c_str(), problem.c_str());
    }
    for (const std::string& note : result.notes) {
        std::printf("%s: note: %s\n", path.c_str(), note.c_str());
    }
    if (result.Passed()) {
        std::printf("%s: ok (%zu functions from %zu DLLs)\n", path.c_str(), result.functionCount,
                    result.dllCount);
    }
    if (list) {
        for (const win9x::ImportedDll& dll : image.imports) {
            for (const win9x::ImportedFunction& function : dll.functions) {
                std::printf("%s\n", win9x::ImportLabel(dll, function).c_str());
            }
        }
    }
    return result.Passed();
}

}  // namespace

int main(int argc, char** argv) {
    bool list = false;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--list") {
            list = true;
        } else if (argument.rfind("--", 0) == 0) {
            std::fprintf(stderr, "win9x_imports: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        } else {
            arguments.push_back(argument);
        }
    }
    std::vector<std::string> files;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i].rfind("@", 0) == 0) {
            if (!AddListedFiles(arguments[i].substr(1), &files)) return 2;
        } else {
            files.push_back(arguments[i]);
        }
    }
    // No file to check is a mistake in the command, not a pass.
    if (arguments.empty() || files.empty()) {
        if (arguments.size() > 1) std::fputs("win9x_imports: no file to check\n", stderr);
        std::fputs(kUsage, stderr);
        return 2;
    }
    win9x::ExportLists lists;
    std::string error;
    if (!lists.Load(arguments[0], &error)) {
        std::fprintf(stderr, "win9x_imports: cannot read the export lists: %s\n", error.c_str());
        return 2;
    }
    bool allPassed = true;
    for (const std::string& file : files) {
        if (!CheckFile(file, lists, list)) allPassed = false;
    }
    return allPassed ? 0 : 1;
}
