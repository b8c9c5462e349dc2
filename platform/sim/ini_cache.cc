#include "platform/sim/ini_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sim/atomic_file.h"
#include "platform/sim/change_count.h"

namespace sim {
namespace {

// Open files kept for quick checks; past this many, all are closed and reopened on demand.
constexpr int kMaxOpenFiles = 64;
// How long a kept file may go without its path being checked again.
constexpr long long kPathCheckIntervalMs = 100;

// fstat without the C library's detour through fstatat and an empty path, which costs this
// check a good part of its time. Only where the kernel's stat record is the library's.
int QuickFstat(int fd, struct stat* st) {
#if defined(__x86_64__) && defined(SYS_fstat)
    return static_cast<int>(syscall(SYS_fstat, fd, st));
#else
    return fstat(fd, st);
#endif
}

long long Milliseconds(const struct timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

long long CoarseNowMs() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return Milliseconds(now);
}

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

IniCache::Slot* IniCache::SlotFor(const std::string& hostPath) {
    std::lock_guard<std::mutex> guard(mutex_);
    std::unique_ptr<Slot>& slot = slots_[hostPath];
    if (!slot) {
        slot.reset(new Slot);
        slot->hostPath = hostPath;
    }
    return slot.get();
}

std::shared_ptr<const IniDocument> IniCache::Get(Slot* slot, IniFileState* state) {
    std::lock_guard<std::mutex> guard(mutex_);
    std::uint64_t changes = MachineChangeCount();
    struct timespec tick;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &tick);
    if (slot->fd >= 0) {
        if (changes == slot->checkedChanges && tick.tv_sec == slot->checkedTickSeconds &&
            tick.tv_nsec == slot->checkedTickNanoseconds) {
            *state = IniFileState::kParsed;
            return slot->document;
        }
        struct stat st;
        if (Milliseconds(tick) - slot->pathCheckedAtMs < kPathCheckIntervalMs &&
            QuickFstat(slot->fd, &st) == 0 && st.st_nlink > 0 && IdentityOf(st) == slot->identity) {
            NoteChecked(slot, changes, tick);
            *state = IniFileState::kParsed;
            return slot->document;
        }
    }
    std::shared_ptr<const IniDocument> document = Load(slot, state);
    if (*state == IniFileState::kParsed) NoteChecked(slot, changes, tick);
    return document;
}

void IniCache::NoteChecked(Slot* slot, std::uint64_t changes, const struct timespec& tick) {
    slot->checkedChanges = changes;
    slot->checkedTickSeconds = tick.tv_sec;
    slot->checkedTickNanoseconds = tick.tv_nsec;
}

void IniCache::Forget(Slot* slot) {
    if (slot->fd >= 0) {
        close(slot->fd);
        slot->fd = -1;
        --openFiles_;
    }
    slot->document.reset();
    slot->identity = IniFileIdentity();
}

void IniCache::KeepOpen(Slot* slot, int fd) {
    if (slot->fd >= 0) {
        close(slot->fd);
        slot->fd = -1;
        --openFiles_;
    }
    if (openFiles_ >= kMaxOpenFiles) {
        for (auto& other : slots_) {
            if (other.second->fd >= 0) {
                close(other.second->fd);
                other.second->fd = -1;
            }
        }
        openFiles_ = 0;
    }
    slot->fd = fd;
    ++openFiles_;
    slot->pathCheckedAtMs = CoarseNowMs();
}

std::shared_ptr<const IniDocument> IniCache::Load(Slot* slot, IniFileState* state) {
    struct stat st;
    if (stat(slot->hostPath.c_str(), &st) != 0) {
        Forget(slot);
        bool missing = errno == ENOENT && ParentIsDirectory(slot->hostPath);
        *state = missing ? IniFileState::kMissing : IniFileState::kUnreadable;
        return EmptyDocument();
    }
    if (S_ISDIR(st.st_mode)) {
        Forget(slot);
        *state = IniFileState::kUnreadable;
        return EmptyDocument();
    }
    // Identity and contents from the same open file, so that a file replaced meanwhile is
    // noticed at the next use rather than cached under the wrong identity.
    int fd = open(slot->hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &st) != 0) {
        if (fd >= 0) close(fd);
        Forget(slot);
        *state = IniFileState::kUnreadable;
        return EmptyDocument();
    }
    if (slot->document && IdentityOf(st) == slot->identity) {
        KeepOpen(slot, fd);
        *state = IniFileState::kParsed;
        return slot->document;
    }
    std::string bytes;
    if (!ReadAll(fd, &bytes)) {
        close(fd);
        Forget(slot);
        *state = IniFileState::kUnreadable;
        return EmptyDocument();
    }
    slot->document = std::make_shared<const IniDocument>(IniDocument::Parse(bytes));
    slot->identity = IdentityOf(st);
    KeepOpen(slot, fd);
    *state = IniFileState::kParsed;
    return slot->document;
}

IniWriteResult IniCache::Modify(Slot* slot, const std::function<bool(IniDocument&)>& edit) {
    std::lock_guard<std::mutex> guard(mutex_);
    struct stat st;
    if (stat(slot->hostPath.c_str(), &st) == 0) {
        // The machine keeps the read-only attribute even for a process run as root.
        if (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return IniWriteResult::kFailed;
    } else if (errno != ENOENT || !ParentIsDirectory(slot->hostPath)) {
        return IniWriteResult::kFailed;
    }

    FileLock lock(slot->hostPath);
    IniFileState state;
    std::shared_ptr<const IniDocument> current = Load(slot, &state);
    if (state == IniFileState::kUnreadable) return IniWriteResult::kFailed;
    IniDocument edited = *current;
    if (!edit(edited)) return IniWriteResult::kUnchanged;

    std::string bytes = edited.Serialize();
    if (!ReplaceFileAtomically(slot->hostPath, bytes)) {
        Forget(slot);
        return IniWriteResult::kFailed;
    }
    // Later reads see the file as written, parsed again: a value holding a line break is
    // from now on the new lines it made.
    int fd = open(slot->hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &st) != 0) {
        if (fd >= 0) close(fd);
        Forget(slot);
        return IniWriteResult::kWritten;
    }
    slot->document = std::make_shared<const IniDocument>(IniDocument::Parse(bytes));
    slot->identity = IdentityOf(st);
    KeepOpen(slot, fd);
    return IniWriteResult::kWritten;
}

}  // namespace sim
