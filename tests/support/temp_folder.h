// Folders that tests and benchmarks make in the host's temporary directory. They honour TMPDIR,
// so that a CTest run can give every test one folder of its own and see what is left in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace testsupport {

// $TMPDIR, or /tmp when it is not set.
inline std::string TempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string directory = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
}

// Makes a new folder "<temp>/<prefix>-XXXXXX" and gives its path; empty when it cannot.
inline std::string MakeTempFolder(const std::string& prefix) {
    std::string pattern = TempDirectory() + "/" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return std::string();
    return buffer.data();
}

inline void RemoveTempFolder(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// A temporary folder that lives as long as the object, for code that runs outside GoogleTest
// (benchmarks). Tests use TestTempFolder (test_temp_folder.h), which keeps a failed test's
// folder for a look.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix) : path_(MakeTempFolder(prefix)) {}
    ~TempFolder() { RemoveTempFolder(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace testsupport
