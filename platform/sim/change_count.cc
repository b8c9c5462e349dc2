#include "platform/sim/change_count.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/sim/machine.h"

namespace sim {
namespace {

// The shared word of the machine this thread used last. Each thread maps it for itself, so
// that nothing here needs a lock.
struct MappedCount {
    std::string folder;
    std::uint64_t* word = nullptr;
};

std::uint64_t* SharedWord() {
    thread_local MappedCount mapped;
    const std::string& folder = Machine::Current().Folder();
    if (mapped.word != nullptr && mapped.folder == folder) return mapped.word;
    if (mapped.word != nullptr) munmap(mapped.word, sizeof *mapped.word);
    mapped.word = nullptr;
    mapped.folder = folder;
    int fd = open((folder + "/file-changes").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    struct stat st;
    // A new file is zeros once extended; an existing one keeps its count.
    bool sized = fstat(fd, &st) == 0 && (st.st_size >= static_cast<off_t>(sizeof(std::uint64_t)) ||
                                         ftruncate(fd, sizeof(std::uint64_t)) == 0);
    void* memory =
        sized ? mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
              : MAP_FAILED;
    close(fd);
    if (memory == MAP_FAILED) return nullptr;
    mapped.word = static_cast<std::uint64_t*>(memory);
    return mapped.word;
}

}  // namespace

std::uint64_t MachineChangeCount() {
    if (std::uint64_t* word = SharedWord()) return __atomic_load_n(word, __ATOMIC_ACQUIRE);
    // Never the same twice, and far from the shared counts.
    static std::uint64_t unavailable = 1ull << 63;
    return __atomic_add_fetch(&unavailable, 1, __ATOMIC_RELAXED);
}

void NoteMachineChange() {
    if (std::uint64_t* word = SharedWord()) __atomic_add_fetch(word, 1, __ATOMIC_ACQ_REL);
}

}  // namespace sim
