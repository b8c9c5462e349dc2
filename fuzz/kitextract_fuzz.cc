// The kit's extraction program on arbitrary input, on a simulated machine. The first line is its
// command line; every other line is an entry of the payload folder beside it: "a/b/" a folder,
// "a/b=text" a file and its contents (names of any bytes the host allows, '\' and ':' among
// them). The command line names a destination or is refused; the copy writes nothing outside
// the destination, leaves no temporary file, keeps its log there, reports its progress in order,
// and when it reports no error every file of the payload is in place with its contents.
#include <ftw.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_machine.h"
#include "platform/files.h"
#include "tools/kitextract/extraction.h"

namespace {

constexpr const char* kKit = "C:\\KIT";
constexpr const char* kDestination = "C:\\DEST";
constexpr std::size_t kMaxEntries = 32;

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Setup {
    std::string driveC;  // host path of C:\ .
    std::string payload;
};

const Setup& Prepare() {
    static const Setup setup = [] {
        Setup s;
        sim::Machine& machine = fuzzmachine::Machine("kitextract-fuzz");
        machine.SetModulePath("C:\\KIT\\kitextract.exe");
        s.driveC = machine.Folder() + "/drive_c";
        s.payload = s.driveC + "/KIT/" + kitextract::kPayloadFolder;
        return s;
    }();
    return setup;
}

void RemoveTree(const std::string& path) {
    nftw(
        path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); },
        16, FTW_DEPTH | FTW_PHYS);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Folded(const std::string& text) {
    std::string folded;
    for (char c : text) folded += sim::FoldUpper(c);
    return folded;
}

// Every host path under C:\ except the destination's folder (any letter case), as one set.
std::set<std::string> Snapshot(const std::string& driveC) {
    static std::set<std::string>* paths;
    static std::string skip;
    std::set<std::string> result;
    paths = &result;
    skip = Folded(driveC + "/DEST");
    nftw(
        driveC.c_str(),
        [](const char* p, const struct stat*, int, struct FTW*) {
            std::string path(p);
            std::string folded = Folded(path);
            if (folded != skip && folded.rfind(skip + "/", 0) != 0) paths->insert(path);
            return 0;
        },
        16, FTW_PHYS);
    return result;
}

// The files under `folder` whose names end as a temporary copy's, by their Windows path
// relative to it, letter case folded.
std::set<std::string> TemporaryFiles(const std::string& folder) {
    static std::set<std::string>* found;
    static std::size_t prefix;
    std::set<std::string> result;
    found = &result;
    prefix = folder.size() + 1;
    nftw(
        folder.c_str(),
        [](const char* p, const struct stat* st, int, struct FTW*) {
            std::string path(p);
            std::string suffix = kitextract::kTemporarySuffix;
            if (S_ISREG(st->st_mode) && path.size() >= prefix + suffix.size() &&
                path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
                std::string relative = path.substr(prefix);
                for (char& c : relative) c = c == '/' ? '\\' : c;
                found->insert(Folded(relative));
            }
            return 0;
        },
        16, FTW_PHYS);
    return result;
}

// Makes the entries of the payload on the host; those it could make, by their Windows path
// relative to the payload folder.
std::map<std::string, std::string> MakePayload(const std::string& payload,
                                               const std::vector<std::string>& lines) {
    std::map<std::string, std::string> files;
    if (mkdir(payload.c_str(), 0755) != 0) std::abort();
    for (const std::string& line : lines) {
        std::size_t equals = line.find('=');
        std::string path = line.substr(0, equals);
        const bool folder = equals == std::string::npos && !path.empty() && path.back() == '/';
        const std::string contents = equals == std::string::npos ? "" : line.substr(equals + 1);
        std::string host = payload;
        std::string windows;
        bool made = true;
        std::size_t start = 0;
        while (made && start < path.size()) {
            std::size_t end = path.find('/', start);
            if (end == std::string::npos) end = path.size();
            const std::string name = path.substr(start, end - start);
            const bool last = end >= path.size() || end + 1 >= path.size();
            start = end + 1;
            if (name.empty() || name == "." || name == ".." || name.size() > 255) {
                made = false;
                break;
            }
            host += "/" + name;
            windows += (windows.empty() ? "" : "\\") + name;
            if (!last || folder) {
                struct stat st;
                made = (mkdir(host.c_str(), 0755) == 0 ||
                        (stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
            } else {
                struct stat st;
                if (stat(host.c_str(), &st) == 0) {
                    made = false;  // already there, as a file or a folder
                } else {
                    fuzzmachine::PutHostFile(host, contents);
                    files[windows] = contents;
                }
            }
        }
    }
    sim::NoteMachineChange();
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Setup& setup = Prepare();
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= input.size();) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    std::string commandLine = lines.front();
    commandLine = commandLine.substr(0, commandLine.find('\0'));
    lines.erase(lines.begin());
    if (lines.size() > kMaxEntries) lines.resize(kMaxEntries);
    for (std::string& line : lines) line = line.substr(0, line.find('\0'));

    // The command line alone.
    std::string destination = "unchanged";
    if (kitextract::DestinationFromCommandLine(commandLine.c_str(), &destination)) {
        Check(!destination.empty() && destination.find('"') == std::string::npos);
        Check(!IsBlank(destination.front()) && !IsBlank(destination.back()));
        // Only a root keeps its trailing backslash: C:\ and \ and \\server\share\ for a share.
        Check(destination.back() != '\\' || destination.size() <= 3 ||
              destination.rfind("\\\\", 0) == 0);
        Check(commandLine.find(destination) != std::string::npos);
    } else {
        Check(destination.empty());
    }

    // A fresh drive C: with the kit folder and its payload.
    RemoveTree(setup.driveC);
    sim::Machine::Use(sim::Machine::Current().Folder());
    sim::Machine::Current().SetModulePath("C:\\KIT\\kitextract.exe");
    Check(plat::CreateDirectory(kKit));
    Check(plat::SetCurrentDirectory(kKit));
    std::map<std::string, std::string> files = MakePayload(setup.payload, lines);

    // The destination named, when it lies in C:\DEST; C:\DEST itself otherwise.
    std::string target = kDestination;
    if (!destination.empty()) {
        std::string full = sim::Machine::Current().FullPath(destination);
        std::string folded = Folded(full);
        if (folded == "C:\\DEST" || folded.rfind("C:\\DEST\\", 0) == 0) target = full;
    }

    const std::set<std::string> before = Snapshot(setup.driveC);
    std::uint64_t lastDone = 0;
    std::optional<std::uint64_t> lastTotal;
    kitextract::Outcome outcome = kitextract::Extract(
        kKit, target, [&](const std::string&, std::uint64_t done, std::uint64_t total) {
            Check(done >= lastDone && done <= total && (!lastTotal || total == *lastTotal));
            lastDone = done;
            lastTotal = total;
        });
    Check(outcome.copied >= 0 && outcome.errors >= 0);
    Check(outcome.copied <= static_cast<int>(files.size()));
    Check(Snapshot(setup.driveC) == before);
    // No temporary copy is left behind: a name of that form in the destination is a file of
    // the payload that has it.
    std::set<std::string> payloadNames;
    for (const auto& file : files) payloadNames.insert(Folded(file.first));
    std::string targetHost;
    if (sim::Machine::Current().ToHostPath(target, &targetHost)) {
        for (const std::string& name : TemporaryFiles(targetHost)) Check(payloadNames.count(name));
    }

    std::string log;
    if (plat::ReadWholeFile((target + "\\" + kitextract::kLogName).c_str(), &log)) {
        Check(log.rfind("Installation du kit Telvora dans " + target, 0) == 0);
    }
    if (outcome.errors == 0) {
        Check(!outcome.logWritten || !log.empty());
        // Names that differ only by letter case are one file on Windows: the payload cannot
        // hold both there, and the last copy wins here.
        std::set<std::string> folded;
        bool distinct = true;
        for (const auto& file : files)
            distinct = folded.insert(Folded(file.first)).second && distinct;
        for (const auto& file : files) {
            // The log has the last word over a payload file of its name.
            if (Folded(file.first) == Folded(kitextract::kLogName)) continue;
            std::string copied;
            Check(plat::ReadWholeFile((target + "\\" + file.first).c_str(), &copied));
            if (distinct) Check(copied == file.second);
        }
        Check(outcome.copied == static_cast<int>(files.size()));
    }
    return 0;
}
