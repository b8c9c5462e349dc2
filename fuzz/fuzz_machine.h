// A simulated machine for the fuzz targets that drive a program: one machine folder per process
// in the temporary directory, removed at exit, and files written into it behind the machine's
// back so that every input is seen afresh.
#pragma once

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/sim/change_count.h"
#include "platform/sim/machine.h"

namespace fuzzmachine {

// A 5 x 3 four-bit bitmap, for the pictures that kits name (a page's "Bitmap", a step file's
// "NomBitmap<n>").
inline constexpr unsigned char kSmallBitmap[] = {
    0x42, 0x4d, 0x82, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x76, 0x00, 0x00, 0x00, 0x28,
    0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00,
    0x00, 0x80, 0x00, 0x00, 0x00, 0x80, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00, 0x80, 0x00, 0x80,
    0x00, 0x80, 0x80, 0x00, 0x00, 0x80, 0x80, 0x80, 0x00, 0xc0, 0xc0, 0xc0, 0x00, 0x00, 0x00,
    0xff, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0xff, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff,
    0x00, 0xff, 0x00, 0xff, 0xff, 0x00, 0x00, 0xff, 0xff, 0xff, 0x00, 0x01, 0x23, 0x40, 0x00,
    0x56, 0x78, 0x90, 0x00, 0xab, 0xcd, 0xe0, 0x00, 0x00, 0x00};

inline std::string& FolderName() {
    static std::string folder;
    return folder;
}

inline void RemoveFolder() {
    if (FolderName().empty()) return;
    nftw(
        FolderName().c_str(),
        [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

// Makes the machine of this process on the first call: "<temp>/<stem>-XXXXXX".
inline sim::Machine& Machine(const char* stem) {
    if (FolderName().empty()) {
        const char* temp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(temp != nullptr && *temp != '\0' ? temp : "/tmp") + "/" + stem + "-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) std::abort();
        FolderName() = pattern;
        std::atexit(RemoveFolder);
        sim::Machine::Use(FolderName());
    }
    return sim::Machine::Current();
}

inline std::string HostPath(const std::string& windowsPath) {
    std::string host;
    if (!sim::Machine::Current().ToHostPath(windowsPath, &host)) std::abort();
    return host;
}

inline std::string ReadHostFile(const std::string& host) {
    std::string bytes;
    int fd = open(host.c_str(), O_RDONLY);
    if (fd < 0) return bytes;
    char chunk[65536];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<std::size_t>(n));
    close(fd);
    return bytes;
}

// Writes `bytes` as the host file, with a modification time never used before, so that no cache
// of the machine takes it for what was there; then tells the machine.
inline void PutHostFile(const std::string& host, const std::string& bytes) {
    static long long generation = 0;
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    ++generation;
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(1000000 + generation / 1000000000);
    times[0].tv_nsec = static_cast<long>(generation % 1000000000);
    times[1] = times[0];
    utimensat(AT_FDCWD, host.c_str(), times, 0);
    sim::NoteMachineChange();
}

}  // namespace fuzzmachine
