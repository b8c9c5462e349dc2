// Parsed INI files of the simulated machine, kept per host path so that the hundreds of
// lookups a program makes in a row cost no parse. A cached file is parsed again as soon as it
// changed, whoever changed it, judged by its identity: device, inode, size, modification and
// change times to the nanosecond.
// Checking that identity costs a system call, more than the rest of a lookup, so a lookup
// trusts the last check while the machine's change count has not moved (every write, copy or
// deletion through the machine, by any of its processes, moves it) and the system's coarse
// clock has not ticked: a change made through the machine shows at once, one made behind its
// back within a clock tick (a few milliseconds). The check itself is an fstat of the parsed
// file, kept open; the path is looked up again when the file was replaced or deleted (its link
// count drops to zero), renamed (its change time moves), and at least every 100 ms, for a
// folder renamed above it.
// Writes are read-modify-write cycles under a lock shared by all processes, and replace the
// file atomically, so that concurrent writers lose no update and readers never see half a file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/sim/ini_document.h"

struct timespec;

namespace sim {

enum class IniFileState {
    kParsed,      // the file exists and was read
    kMissing,     // no such file, but its folder exists: reads as an empty file
    kUnreadable,  // no folder, a directory, or a read error: reads fail
};

enum class IniWriteResult { kWritten, kUnchanged, kFailed };

// What tells one state of a file from another without reading it.
struct IniFileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = -1;
    long long mtimeSeconds = 0;
    long long mtimeNanoseconds = 0;
    long long ctimeSeconds = 0;
    long long ctimeNanoseconds = 0;
    bool operator==(const IniFileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               mtimeSeconds == o.mtimeSeconds && mtimeNanoseconds == o.mtimeNanoseconds &&
               ctimeSeconds == o.ctimeSeconds && ctimeNanoseconds == o.ctimeNanoseconds;
    }
};

class IniCache {
  public:
    // The cache's place for one host path. It lives as long as the process, so that callers
    // may keep a pointer to it and skip looking the path up.
    struct Slot {
        std::string hostPath;
        int fd = -1;  // the parsed file, while it is kept open
        IniFileIdentity identity;
        std::shared_ptr<const IniDocument> document;
        long long pathCheckedAtMs = 0;
        // When the file was last found unchanged: the machine's change count and the tick.
        std::uint64_t checkedChanges = 0;
        long long checkedTickSeconds = -1;
        long long checkedTickNanoseconds = 0;
    };

    static IniCache& Instance();

    Slot* SlotFor(const std::string& hostPath);

    // The current contents of the slot's file. Never null: an empty document when the file is
    // missing or unreadable, as `*state` tells.
    std::shared_ptr<const IniDocument> Get(Slot* slot, IniFileState* state);

    // Applies `edit` to the file's current contents and writes the result when `edit` reports
    // a change. Fails without calling `edit` when the file cannot be written: read-only,
    // a directory, or a folder that does not exist.
    IniWriteResult Modify(Slot* slot, const std::function<bool(IniDocument&)>& edit);

  private:
    // Under mutex_.
    std::shared_ptr<const IniDocument> Load(Slot* slot, IniFileState* state);
    void Forget(Slot* slot);
    void KeepOpen(Slot* slot, int fd);
    static void NoteChecked(Slot* slot, std::uint64_t changes, const struct timespec& tick);

    std::mutex mutex_;
    std::unordered_map<std::string, std::unique_ptr<Slot>> slots_;
    int openFiles_ = 0;
};

}  // namespace sim
