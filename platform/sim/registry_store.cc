#include "platform/sim/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/registry.h"
#include "platform/sim/atomic_file.h"
#include "platform/sim/machine.h"
#include "platform/sim/regedit4.h"

namespace sim {
namespace {

// What tells one version of the file from another without reading it. The file is always
// replaced by a rename, so a new version has a new inode even when size and time agree.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long mtimeSeconds = 0;
    long mtimeNanoseconds = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               mtimeSeconds == o.mtimeSeconds && mtimeNanoseconds == o.mtimeNanoseconds;
    }
};

FileStamp StampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeSeconds = st.st_mtim.tv_sec;
    stamp.mtimeNanoseconds = st.st_mtim.tv_nsec;
    return stamp;
}

FileStamp StampOfPath(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return FileStamp();
    return StampOf(st);
}

// Reads the file and its stamp from one open descriptor, so they belong together.
bool ReadFileWithStamp(const std::string& path, std::string* text, FileStamp* stamp,
                       std::string* error) {
    text->clear();
    *stamp = FileStamp();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        *error = path + ": cannot be opened: " + std::strerror(errno);
        return false;
    }
    struct stat st;
    bool ok = fstat(fd, &st) == 0;
    if (ok) *stamp = StampOf(st);
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        text->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (!ok) *error = path + ": cannot be read";
    return ok;
}

struct Cache {
    std::string path;
    FileStamp stamp;
    std::string text;
    bool valid = false;  // a parse of `text` is held (tree or error)
    bool parsed = false;
    RegTree tree;
    std::string error;
};

std::mutex& CacheMutex() {
    static std::mutex mutex;
    return mutex;
}

Cache& TheCache() {
    static Cache cache;
    return cache;
}

// Makes the cache hold the parse of `text` read from `path` with `stamp`.
void Fill(Cache* cache, const std::string& path, const FileStamp& stamp, const std::string& text) {
    bool sameText = cache->valid && cache->path == path && cache->text == text;
    cache->path = path;
    cache->stamp = stamp;
    if (sameText) return;
    cache->text = text;
    cache->valid = true;
    cache->tree = RegTree();
    cache->error.clear();
    cache->parsed = true;
    // A missing or empty file is an empty registry.
    if (text.empty()) return;
    RegScript script;
    if (!ParseRegedit4(text, path, &script, &cache->error)) {
        cache->parsed = false;
        return;
    }
    ApplyRegScript(script, &cache->tree);
}

plat::Long Refresh(Cache* cache, const std::string& path, bool alwaysRead, std::string* error) {
    if (!alwaysRead && cache->valid && cache->path == path && cache->stamp == StampOfPath(path)) {
        // Unchanged since the last parse.
    } else {
        std::string text;
        FileStamp stamp;
        std::string readError;
        if (!ReadFileWithStamp(path, &text, &stamp, &readError)) {
            cache->valid = false;
            ReportRegistryProblemOnce(readError);
            if (error != nullptr) *error = readError;
            return kErrorRegistryIoFailed;
        }
        Fill(cache, path, stamp, text);
    }
    if (!cache->parsed) {
        ReportRegistryProblemOnce(cache->error);
        if (error != nullptr) *error = cache->error;
        return kErrorRegistryCorrupt;
    }
    return plat::kErrorSuccess;
}

// Regedit stores a text given in hex (hex(1), hex(2), hex(7)) with a terminator added when the
// bytes do not end with one (checked with Wine's regedit). The machine's own file is loaded as
// written, so that byte counts survive there.
void TerminateTextsAsRegeditDoes(RegScript* script) {
    for (RegScriptSection& section : script->sections) {
        for (RegScriptValue& value : section.values) {
            bool text = value.type == plat::kRegSz || value.type == plat::kRegExpandSz ||
                        value.type == plat::kRegMultiSz;
            if (text && !value.bytes.empty() && value.bytes.back() != '\0') value.bytes += '\0';
        }
    }
}

}  // namespace

void ReportRegistryProblemOnce(const std::string& message) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> lock(mutex);
    if (reported.insert(message).second) std::fprintf(stderr, "registry: %s\n", message.c_str());
}

plat::Long ReadRegistry(const std::string& registryFile,
                        const std::function<void(const RegTree&)>& read, std::string* error) {
    std::lock_guard<std::mutex> lock(CacheMutex());
    Cache& cache = TheCache();
    plat::Long result = Refresh(&cache, registryFile, false, error);
    if (result == plat::kErrorSuccess) read(cache.tree);
    return result;
}

plat::Long ChangeRegistry(const std::string& registryFile,
                          const std::function<plat::Long(RegTree&, bool* changed)>& change,
                          std::string* error) {
    std::lock_guard<std::mutex> lock(CacheMutex());
    FileLock fileLock(registryFile);
    Cache& cache = TheCache();
    // Under the lock the file is read again whatever its stamp says: a stamp can repeat (an
    // inode number reused within one clock tick) and a lost update is not acceptable here.
    plat::Long result = Refresh(&cache, registryFile, true, error);
    if (result != plat::kErrorSuccess) return result;
    RegTree tree = cache.tree;
    bool changed = false;
    result = change(tree, &changed);
    if (result != plat::kErrorSuccess || !changed) return result;
    std::string text = WriteRegedit4(tree);
    if (!ReplaceFileAtomically(registryFile, text)) {
        std::string message = registryFile + ": cannot be written";
        ReportRegistryProblemOnce(message);
        if (error != nullptr) *error = message;
        return kErrorRegistryIoFailed;
    }
    cache.path = registryFile;
    cache.stamp = StampOfPath(registryFile);
    cache.text = text;
    cache.tree = std::move(tree);
    cache.valid = true;
    cache.parsed = true;
    cache.error.clear();
    return plat::kErrorSuccess;
}

bool ImportRegFile(const std::string& hostPath, std::string* error) {
    std::string text;
    FileStamp stamp;
    std::string message;
    if (!ReadFileWithStamp(hostPath, &text, &stamp, &message) || !stamp.exists) {
        if (message.empty()) message = hostPath + ": cannot be opened";
        if (error != nullptr) *error = message;
        return false;
    }
    RegScript script;
    if (!ParseRegedit4(text, hostPath, &script, &message)) {
        if (error != nullptr) *error = message;
        return false;
    }
    TerminateTextsAsRegeditDoes(&script);
    plat::Long result = ChangeRegistry(
        Machine::Current().RegistryFile(),
        [&](RegTree& tree, bool* changed) {
            *changed = ApplyRegScript(script, &tree);
            return plat::kErrorSuccess;
        },
        &message);
    if (result != plat::kErrorSuccess) {
        if (error != nullptr) *error = message;
        return false;
    }
    return true;
}

}  // namespace sim
