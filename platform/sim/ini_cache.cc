#include "platform/sim/ini_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sim/atomic_file.h"

namespace sim {
namespace {

bool ParentIsDirectory(const std::string& hostPath) {
    auto slash = hostPath.rfind('/');
    std::string parent = slash == std::string::npos ? "." : hostPath.substr(0, slash);
    if (parent.empty()) parent = "/";
    struct stat st;
    return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadAll(int fd, std::string* bytes) {
    char chunk[65536];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes->append(chunk, static_cast<size_t>(n));
    }
}

const std::shared_ptr<const IniDocument>& EmptyDocument() {
    static const std::shared_ptr<const IniDocument> empty = std::make_shared<IniDocument>();
    return empty;
}

IniFileIdentity IdentityOf(const struct stat& st) {
    IniFileIdentity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.mtimeSeconds = st.st_mtim.tv_sec;
    id.mtimeNanoseconds = st.st_mtim.tv_nsec;
    id.ctimeSeconds = st.st_ctim.tv_sec;
    id.ctimeNanoseconds = st.st_ctim.tv_nsec;
    return id;
}

}  // namespace

IniCache& IniCache::Instance() {
    static IniCache cache;
    return cache;
}

std::shared_ptr<const IniDocument> IniCache::Get(const std::string& hostPath, IniFileState* state) {
    std::lock_guard<std::mutex> guard(mutex_);
    return Load(hostPath, state);
}

std::shared_ptr<const IniDocument> IniCache::Load(const std::string& hostPath,
                                                  IniFileState* state) {
    struct stat st;
    if (stat(hostPath.c_str(), &st) != 0) {
        entries_.erase(hostPath);
        bool missing = errno == ENOENT && ParentIsDirectory(hostPath);
        *state = missing ? IniFileState::kMissing : IniFileState::kUnreadable;
        return EmptyDocument();
    }
    if (S_ISDIR(st.st_mode)) {
        *state = IniFileState::kUnreadable;
        return EmptyDocument();
    }
    auto cached = entries_.find(hostPath);
    if (cached != entries_.end() && cached->second.identity == IdentityOf(st)) {
        *state = IniFileState::kParsed;
        return cached->second.document;
    }

    // Identity and contents from the same open file, so that a file replaced meanwhile is
    // noticed at the next use rather than cached under the wrong identity.
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    std::string bytes;
    bool ok = fd >= 0 && fstat(fd, &st) == 0 && ReadAll(fd, &bytes);
    if (fd >= 0) close(fd);
    if (!ok) {
        entries_.erase(hostPath);
        *state = IniFileState::kUnreadable;
        return EmptyDocument();
    }
    auto document = std::make_shared<const IniDocument>(IniDocument::Parse(bytes));
    entries_[hostPath] = Entry{IdentityOf(st), document};
    *state = IniFileState::kParsed;
    return document;
}

IniWriteResult IniCache::Modify(const std::string& hostPath,
                                const std::function<bool(IniDocument&)>& edit) {
    std::lock_guard<std::mutex> guard(mutex_);
    struct stat st;
    if (stat(hostPath.c_str(), &st) == 0) {
        // The machine keeps the read-only attribute even for a process run as root.
        if (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return IniWriteResult::kFailed;
    } else if (errno != ENOENT || !ParentIsDirectory(hostPath)) {
        return IniWriteResult::kFailed;
    }

    FileLock lock(hostPath);
    IniFileState state;
    std::shared_ptr<const IniDocument> current = Load(hostPath, &state);
    if (state == IniFileState::kUnreadable) return IniWriteResult::kFailed;
    IniDocument edited = *current;
    if (!edit(edited)) return IniWriteResult::kUnchanged;

    std::string bytes = edited.Serialize();
    if (!ReplaceFileAtomically(hostPath, bytes)) {
        entries_.erase(hostPath);
        return IniWriteResult::kFailed;
    }
    // Later reads see the file as written, parsed again: a value holding a line break is
    // from now on the new lines it made.
    if (stat(hostPath.c_str(), &st) == 0) {
        entries_[hostPath] =
            Entry{IdentityOf(st), std::make_shared<const IniDocument>(IniDocument::Parse(bytes))};
    } else {
        entries_.erase(hostPath);
    }
    return IniWriteResult::kWritten;
}

}  // namespace sim
