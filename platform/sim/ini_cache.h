// Parsed INI files of the simulated machine, kept per host path so that the hundreds of
// lookups a program makes in a row cost no parse. A cached file is parsed again as soon as it
// changed on disk (another process wrote it): every use compares its identity (device, inode,
// size, modification and change times to the nanosecond) with the one it was parsed from.
// Writes are read-modify-write cycles under a lock shared by all processes, and replace the
// file atomically, so that concurrent writers lose no update and readers never see half a file.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/sim/ini_document.h"

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
    static IniCache& Instance();

    // The current contents of the INI file at `hostPath`. Never null: an empty document when
    // the file is missing or unreadable, as `*state` tells.
    std::shared_ptr<const IniDocument> Get(const std::string& hostPath, IniFileState* state);

    // Applies `edit` to the file's current contents and writes the result when `edit` reports
    // a change. Fails without calling `edit` when the file cannot be written: read-only,
    // a directory, or a folder that does not exist.
    IniWriteResult Modify(const std::string& hostPath,
                          const std::function<bool(IniDocument&)>& edit);

  private:
    struct Entry {
        IniFileIdentity identity;
        std::shared_ptr<const IniDocument> document;
    };

    // Under mutex_.
    std::shared_ptr<const IniDocument> Load(const std::string& hostPath, IniFileState* state);

    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace sim
