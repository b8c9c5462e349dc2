// Arbitrary bytes as an INI file of the simulated machine, read and written through the
// private-profile functions the programs use. Every answer must stay inside the caller's
// buffer and end with a zero; a value written must read back; and what the machine writes,
// once normalised, must read back to the same text.
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "platform/sim/change_count.h"
#include "platform/sim/ini_document.h"
#include "platform/sim/machine.h"

namespace {

constexpr const char* kFile = "C:\\FUZZ.INI";

char g_machineFolder[4096];

void RemoveMachineFolder() {
    nftw(
        g_machineFolder,
        [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

// The machine lives in the temporary directory (TMPDIR=/dev/shm keeps it in memory, where the
// machine's flushes cost nothing).
const std::string& HostFile() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::snprintf(g_machineFolder, sizeof g_machineFolder, "%s/ini-fuzz-XXXXXX",
                      tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
        if (mkdtemp(g_machineFolder) == nullptr) std::abort();
        std::atexit(RemoveMachineFolder);
        std::string host;
        if (!sim::Machine::Use(g_machineFolder).ToHostPath(kFile, &host)) std::abort();
        return host;
    }();
    return path;
}

// Writes the input in place, with a modification time of its own, so that the machine's
// cache can never take it for the previous input.
void PutFile(const std::uint8_t* data, std::size_t size) {
    static long long generation = 0;
    int fd = open(HostFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    ++generation;
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(1000000 + generation / 1000000000);
    times[0].tv_nsec = static_cast<long>(generation % 1000000000);
    times[1] = times[0];
    utimensat(AT_FDCWD, HostFile().c_str(), times, 0);
    // Written behind the machine's back: say so, or it would be seen only at the next tick.
    sim::NoteMachineChange();
}

// One read into a buffer of exactly `size` bytes, so that the sanitizer sees any overflow.
std::string Read(const char* section, const char* key, const char* defaultValue, plat::Dword size) {
    std::vector<char> buffer(size);
    plat::Dword n =
        plat::GetPrivateProfileString(section, key, defaultValue, buffer.data(), size, kFile);
    if (size == 0) {
        if (n != 0) std::abort();
        return std::string();
    }
    if (n > size - 1 || buffer[n] != '\0') std::abort();
    return std::string(buffer.data(), n);
}

// The names of a zero-separated list.
std::vector<std::string> Names(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string Normalised(const std::string& bytes) {
    return sim::IniDocument::Parse(sim::IniDocument::Parse(bytes).Serialize()).Serialize();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PutFile(data, size);

    for (plat::Dword small : {0u, 1u, 2u, 3u, 7u}) Read(nullptr, nullptr, "d", small);
    std::vector<std::string> sections = Names(Read(nullptr, nullptr, "", 4096));
    if (sections.size() > 8) sections.resize(8);
    for (const std::string& section : sections) {
        for (plat::Dword small : {1u, 2u, 3u, 9u}) Read(section.c_str(), nullptr, "'d'", small);
        std::vector<std::string> keys = Names(Read(section.c_str(), nullptr, "", 4096));
        if (keys.size() > 8) keys.resize(8);
        for (const std::string& key : keys) {
            for (plat::Dword small : {1u, 2u, 5u, 64u})
                Read(section.c_str(), key.c_str(), "\"q\" ", small);
            plat::GetPrivateProfileInt(section.c_str(), key.c_str(), -1, kFile);
        }
    }

    // A write into the first section, with a value made of the input's last bytes.
    std::string section = sections.empty() ? "Fuzz" : sections.front();
    std::string value;
    for (std::size_t i = size > 12 ? size - 12 : 0; i < size; ++i) {
        char c = static_cast<char>(data[i]);
        if (c >= '0' && c <= 'z') value += c;
    }
    if (value.empty()) value = "v";
    // A name with a blank at an end is stored as given and read back trimmed: only plain
    // names find their value again.
    bool plainSection = !section.empty() && sim::TrimIniBlanks(section).size() == section.size();
    if (!plat::WritePrivateProfileString(section.c_str(), "FuzzKey", value.c_str(), kFile)) {
        std::abort();
    }

    std::string written;
    int fd = open(HostFile().c_str(), O_RDONLY);
    if (fd < 0) std::abort();
    char chunk[65536];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0)
        written.append(chunk, static_cast<std::size_t>(n));
    close(fd);
    // A rewrite can change how the file reads as a whole: an ANSI file whose first line, once
    // its leading blanks are gone, starts like a byte-order mark reads as Unicode afterwards,
    // under the platform too. Otherwise the value written reads back, from the first line of
    // the section that reads as FuzzKey. That is the line written, unless the section held a
    // name such as "FuzzKey", control characters, a zero: the zero cut the name, so the write
    // added a line of its own; written back without the zero, the old name loses its trailing
    // control characters, reads as "FuzzKey" (the platform's reader does the same) and comes
    // first.
    std::string input(reinterpret_cast<const char*>(data), size);
    const sim::IniDocument rewritten = sim::IniDocument::Parse(written);
    bool sameEncoding = rewritten.Encoding() == sim::IniDocument::Parse(input).Encoding();
    if (plainSection && sameEncoding) {
        const sim::IniSection* inFile = rewritten.FindSection(section);
        if (inFile == nullptr) std::abort();
        bool landed = false;
        for (const sim::IniEntry& entry : inFile->entries) {
            if (sim::SameIniName(entry.name, "FuzzKey") && entry.value == value) landed = true;
        }
        const sim::IniEntry* first = rewritten.FindEntry(*inFile, "FuzzKey");
        if (!landed || first == nullptr) std::abort();
        if (Read(section.c_str(), "FuzzKey", "", 256) != first->value) std::abort();
    }
    // What the machine wrote reads back to the same text once normalised.
    std::string once = Normalised(written);
    if (Normalised(once) != once) std::abort();

    plat::WritePrivateProfileString(section.c_str(), "FuzzKey", nullptr, kFile);
    plat::WritePrivateProfileString(section.c_str(), nullptr, nullptr, kFile);
    return 0;
}
